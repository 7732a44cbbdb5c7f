#pragma once

#include <QString>

// What the system's print service (CUPS on Linux, the print spooler on Windows) says about a printer beyond
// the list of printers: whether it is reachable, whether a printer takes jobs now, and whether the last job
// it was handed went in. Qt's printer support sends a job without telling whether the service took it, so
// the page printer asks here. Every answer is a reason in the program's words, empty when all is well.
namespace print_service {

// Why no print service answers at all (not running, no socket); empty when one answers.
QString unreachable();
// Why `printer` would not take a job now: the service does not answer, the printer is gone, or it refuses
// jobs. A paused printer still takes jobs (they wait in its queue) and gives no reason.
QString refusal(const QString& printer);
// Called right after a job was handed to the service on this thread: why the service did not take it.
QString lastSubmissionFailure();

// What happened and what to do about `printer` refusing a job for the reason `why` (one of the reasons
// above), in the clerk's words: which printer, and the step that mends it.
QString advice(const QString& printer, const QString& why);

// Whether `printer` is a raw queue: the service hands its jobs to the device unchanged (no driver: make and
// model "Local Raw Printer"), or it takes neither PDF nor PostScript. Such a queue is for a label
// printer's own commands; a page sent there would come out as a stream of garbage labels. False when the
// service does not know the queue or does not answer.
bool isRawQueue(const QString& printer);

}  // namespace print_service
