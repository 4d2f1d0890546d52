#include "platform/system_log.h"

#include <QByteArrayView>
#include <QLoggingCategory>
#include <QtGlobal>

namespace storyloom {
namespace {

Q_LOGGING_CATEGORY(lcSystem, "storyloom.system", QtCriticalMsg)

QtMessageHandler previousHandler = nullptr;

void systemMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  const bool ours = context.category && QByteArrayView(context.category).startsWith("storyloom.");
  if (!ours && type != QtFatalMsg && !lcSystem().isEnabled(type)) return;
  previousHandler(type, context, message);
}

}  // namespace

void quietenSystemMessages() {
  if (!previousHandler) previousHandler = qInstallMessageHandler(systemMessageHandler);
}

bool graphicalDisplayAvailable() {
  return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY") ||
         !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

}  // namespace storyloom
