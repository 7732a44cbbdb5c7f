#pragma once

// The layouts name the Windows fonts 굴림 and 굴림체; where they are missing, the Nanum fonts stand in.
// Fonts in a "fonts" folder beside the program are loaded first. Called once at start, after the
// application object, by the program, the test programs and the benchmarks.
void installFontSubstitutes();
