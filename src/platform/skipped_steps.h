#pragma once
#include <QLoggingCategory>
#include <QString>
#include <optional>

#include "platform/platform_error.h"

// Many routines of the runtime skip a statement that fails and go on with the next one.
// They do it through runSkippingErrors, which leaves a trace of what it skipped in the
// logging category "storyloom.skipped" (QT_LOGGING_RULES="storyloom.skipped=true" shows
// it), so that an author can find out why something did not happen.
namespace storyloom {

Q_DECLARE_LOGGING_CATEGORY(lcSkipped)

// Writes one line: the step and the error's number and description.
void logSkipped(const QString& step, int number, const QString& description);

// Runs step(); an error is logged as skipped and handed back instead of thrown.
template <class Step>
std::optional<PlatformError> runSkippingErrors(const QString& what, Step&& step) {
  try {
    step();
    return std::nullopt;
  } catch (...) {
    PlatformError e = PlatformError::current();
    logSkipped(what, e.code(), e.text());
    return e;
  }
}

}  // namespace storyloom
