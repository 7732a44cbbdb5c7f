#pragma once

#include <QString>

class AppError;

// How the layers below the windows (the connection and the query helpers above all) tell the user about a
// failure. They open no windows themselves: the program installs a reporter at start that shows the
// message boxes (ReportErrorsInBoxes); until one is installed the reports go to standard error.
class ErrorReporter {
public:
    virtual ~ErrorReporter() = default;
    // The connection's own report: one line of text in a plain box ("Error 2003 ...").
    virtual void plainMessage(const QString& text) = 0;
    // The procedure error report of a trapping procedure (`procedure` of `module`).
    virtual void procedureError(const QString& procedure, const QString& module, const AppError& error) = 0;
    // An error box that names what was being done (`context`) and the error.
    virtual void errorMessage(const QString& context, const AppError& error) = 0;
};

// The current reporter; never null.
ErrorReporter& errorReporter();
// Installs `reporter` (not owned); nullptr restores the standard-error reporter.
void setErrorReporter(ErrorReporter* reporter);
