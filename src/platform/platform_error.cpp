#include "platform/platform_error.h"

namespace storyloom {

PlatformError::PlatformError(int number, const QString& description)
    : vbs::ScriptError(number, description.toStdU16String()) {}

PlatformError PlatformError::invalidProcedureCall() {
  return {5, QStringLiteral("Invalid procedure call or argument")};
}
PlatformError PlatformError::overflow() { return {6, QStringLiteral("Overflow")}; }
PlatformError PlatformError::subscriptOutOfRange() { return {9, QStringLiteral("Subscript out of range")}; }
PlatformError PlatformError::typeMismatch() { return {13, QStringLiteral("Type mismatch")}; }
PlatformError PlatformError::fileNotFound() { return {53, QStringLiteral("File not found")}; }
PlatformError PlatformError::pastEnd() { return {62, QStringLiteral("Input past end of file")}; }
PlatformError PlatformError::invalidUseOfNull() { return {94, QStringLiteral("Invalid use of Null")}; }
PlatformError PlatformError::controlArrayElementMissing(int index) {
  return {340, QStringLiteral("Control array element '%1' doesn't exist").arg(index)};
}
PlatformError PlatformError::invalidPropertyValue() { return {380, QStringLiteral("Invalid property value")}; }
PlatformError PlatformError::keyAlreadyUsed() {
  return {457, QStringLiteral("This key is already associated with an element of this collection")};
}
PlatformError PlatformError::current() {
  try {
    throw;
  } catch (const PlatformError& e) {
    return e;
  } catch (const vbs::ScriptError& e) {
    return PlatformError(e.number, QString::fromStdU16String(e.description));
  } catch (const std::bad_alloc&) {
    return {7, QStringLiteral("Out of memory")};
  } catch (const std::exception& e) {
    return {51, QStringLiteral("Internal error: ") + QString::fromUtf8(e.what())};
  } catch (...) {
    return {51, QStringLiteral("Internal error")};
  }
}

PlatformError PlatformError::invalidPicture() { return {481, QStringLiteral("Invalid picture")}; }

}  // namespace storyloom
