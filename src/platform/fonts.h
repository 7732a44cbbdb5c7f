#pragma once

// The layouts name the Windows fonts 굴림 and 굴림체; where they are missing, the Nanum fonts stand in.
// Called once at start by the program, the test programs and the benchmarks.
void installFontSubstitutes();
