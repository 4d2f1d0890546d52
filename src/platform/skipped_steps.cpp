#include "platform/skipped_steps.h"

namespace storyloom {

Q_LOGGING_CATEGORY(lcSkipped, "storyloom.skipped", QtWarningMsg)

void logSkipped(const QString& step, int number, const QString& description) {
  qCInfo(lcSkipped).noquote() << "skipped:" << step << "- error" << number << description;
}

}  // namespace storyloom
