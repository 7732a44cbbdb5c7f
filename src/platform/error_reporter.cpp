#include "platform/error_reporter.h"

#include "platform/app_error.h"

#include <cstdio>

namespace {

class StderrReporter final : public ErrorReporter {
public:
    void plainMessage(const QString& text) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
    void procedureError(const QString& procedure, const QString& module, const AppError& error) override {
        std::fprintf(stderr, "Error %ld (%s) in procedure %s of Module %s\n", long(error.number()),
                     qPrintable(error.description()), qPrintable(procedure), qPrintable(module));
    }
    void errorMessage(const QString& context, const AppError& error) override {
        std::fprintf(stderr, "%s %ld %s\n", qPrintable(context), long(error.number()),
                     qPrintable(error.description()));
    }
};

StderrReporter g_stderr;
ErrorReporter* g_current = nullptr;

}  // namespace

ErrorReporter& errorReporter() {
    return g_current ? *g_current : g_stderr;
}

void setErrorReporter(ErrorReporter* reporter) {
    g_current = reporter;
}
