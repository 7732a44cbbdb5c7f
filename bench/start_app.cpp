// The measured process of bench/start.cpp: the program's start on the settings-store path, ending at the
// hand-over to the login window.
#include "platform/single_instance.h"
#include "start_helper.h"
#include "startup/mod_main.h"

#include <QApplication>

#include <cstdlib>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    FailOnBoxDialogs boxes;
    setDialogs(&boxes);
    StartHandOver handOver;
    handOver.showLoginWindow = [] {
        single_instance::releaseAll();
        std::_Exit(0);
    };
    Main(handOver);
    return 1;  // the start ended without the hand-over
}
