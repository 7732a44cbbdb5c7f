#pragma once

#include <QString>

#include "common/app_title.h"

class AppError;

// Results of ShowQuestionMsg (the platform's codes).
inline constexpr int kYes = 6;
inline constexpr int kNo = 7;

// Information box, OK button. An empty title means the application title.
void ShowInfoMsg(const QString& text, const QString& title = QString());
// Information box about files written to `folder`, with "확인" and "폴더 열기"; the folder button opens the
// folder in the desktop's file manager.
void ShowFilesMsg(const QString& text, const QString& folder);
// The one box at the end of a run that wrote files or failed: an information box, or, when `failed`, an
// exclamation box titled "오류"; "폴더 열기" beside "확인" when `folder` is given (it opens the folder).
void ShowOutcomeMsg(const QString& text, const QString& folder, bool failed);
// Question box, Yes and No; the default button is Yes when defaultYes is set, No otherwise. 6 or 7.
int ShowQuestionMsg(const QString& text, const QString& title = QString(), bool defaultYes = true);
// Exclamation box titled "오류": the context, the error number and the error description. Always 0.
int ShowErrorMsg(const QString& context, const AppError& error);
// Where a trapping procedure lives, as its error report names it: a module or a window ("Form").
enum class ProcOwner { Module, Form };
// The procedure error report of a trapping procedure, one line in a plain box with the application title:
// "Error <n> (<description>) in procedure <procedure> of Module <module>" (or "of Form <window>"). An
// empty owner name leaves out the " of ..." part.
void ShowProcError(const QString& procedure, const QString& module, const AppError& error,
                   ProcOwner owner = ProcOwner::Module);
// A plain box (OK button, no icon, application title): the connection's own reports.
void ShowPlainMsg(const QString& text);

// Makes the reports of the layers below the windows (the error reporter) show as the boxes above:
// plain message, procedure error report, error box. Called once at start by the program and the tests.
void ReportErrorsInBoxes();
