#pragma once

#include "common/msgbox.h"
#include "platform/app_error.h"

#include <exception>

// Runs one step of a procedure that traps its errors: a failure shows the procedure error report and the
// caller goes on with its next step. True when the step ran through.
template <typename Step>
bool TrapStep(const char* procedure, const char* module, Step&& step, ProcOwner owner = ProcOwner::Module) {
    try {
        step();
        return true;
    } catch (const AppError& e) {
        ShowProcError(QString::fromLatin1(procedure), QString::fromLatin1(module), e, owner);
    } catch (const std::exception& e) {
        ShowProcError(QString::fromLatin1(procedure), QString::fromLatin1(module),
                      AppError(5, QString::fromLatin1(procedure), QString::fromLocal8Bit(e.what())), owner);
    }
    return false;
}
