// Intrinsic constants (vbCrLf, vbOKCancel, vbString, vbSunday ...).
#include "platform/vbscript/builtins.h"

namespace vbs {

namespace {
struct NumConst {
  const char16_t* name;
  int32_t value;
};

constexpr NumConst kNumbers[] = {
    // MsgBox buttons, icons, default button, modality and options.
    {u"vbOKOnly", 0},
    {u"vbOKCancel", 1},
    {u"vbAbortRetryIgnore", 2},
    {u"vbYesNoCancel", 3},
    {u"vbYesNo", 4},
    {u"vbRetryCancel", 5},
    {u"vbCritical", 16},
    {u"vbQuestion", 32},
    {u"vbExclamation", 48},
    {u"vbInformation", 64},
    {u"vbDefaultButton1", 0},
    {u"vbDefaultButton2", 256},
    {u"vbDefaultButton3", 512},
    {u"vbDefaultButton4", 768},
    {u"vbApplicationModal", 0},
    {u"vbSystemModal", 4096},
    {u"vbMsgBoxSetForeground", 65536},
    {u"vbMsgBoxRight", 524288},
    {u"vbMsgBoxRtlReading", 1048576},
    // MsgBox results.
    {u"vbOK", 1},
    {u"vbCancel", 2},
    {u"vbAbort", 3},
    {u"vbRetry", 4},
    {u"vbIgnore", 5},
    {u"vbYes", 6},
    {u"vbNo", 7},
    // VarType results.
    {u"vbEmpty", 0},
    {u"vbNull", 1},
    {u"vbInteger", 2},
    {u"vbLong", 3},
    {u"vbSingle", 4},
    {u"vbDouble", 5},
    {u"vbCurrency", 6},
    {u"vbDate", 7},
    {u"vbString", 8},
    {u"vbObject", 9},
    {u"vbError", 10},
    {u"vbBoolean", 11},
    {u"vbVariant", 12},
    {u"vbDataObject", 13},
    {u"vbDecimal", 14},
    {u"vbByte", 17},
    {u"vbArray", 8192},
    // String comparison.
    {u"vbBinaryCompare", 0},
    {u"vbTextCompare", 1},
    {u"vbDatabaseCompare", 2},
    // Days and weeks.
    {u"vbUseSystemDayOfWeek", 0},
    {u"vbSunday", 1},
    {u"vbMonday", 2},
    {u"vbTuesday", 3},
    {u"vbWednesday", 4},
    {u"vbThursday", 5},
    {u"vbFriday", 6},
    {u"vbSaturday", 7},
    {u"vbUseSystem", 0},
    {u"vbFirstJan1", 1},
    {u"vbFirstFourDays", 2},
    {u"vbFirstFullWeek", 3},
    // FormatDateTime.
    {u"vbGeneralDate", 0},
    {u"vbLongDate", 1},
    {u"vbShortDate", 2},
    {u"vbLongTime", 3},
    {u"vbShortTime", 4},
    // Tristate.
    {u"vbUseDefault", -2},
    {u"vbTrue", -1},
    {u"vbFalse", 0},
};

constexpr NumConst kColours[] = {
    {u"vbBlack", 0x000000}, {u"vbRed", 0x0000FF},     {u"vbGreen", 0x00FF00}, {u"vbYellow", 0x00FFFF},
    {u"vbBlue", 0xFF0000},  {u"vbMagenta", 0xFF00FF}, {u"vbCyan", 0xFFFF00},  {u"vbWhite", 0xFFFFFF},
};
}  // namespace

void register_builtins_constants(Registry& r) {
  for (const auto& c : kNumbers) r.addConstant(c.name, Value::integral(c.value));
  // Colours are Long even when small, as RGB() returns.
  for (const auto& c : kColours) r.addConstant(c.name, Value(c.value));
  r.addConstant(u"vbObjectError", Value(int32_t(-2147221504)));
  // The help button is a Long although its value fits an Integer.
  r.addConstant(u"vbMsgBoxHelpButton", Value(int32_t(16384)));

  r.addConstant(u"vbCr", Value(u"\r"));
  r.addConstant(u"vbLf", Value(u"\n"));
  r.addConstant(u"vbCrLf", Value(u"\r\n"));
  r.addConstant(u"vbNewLine", Value(u"\r\n"));
  r.addConstant(u"vbTab", Value(u"\t"));
  r.addConstant(u"vbFormFeed", Value(u"\f"));
  r.addConstant(u"vbVerticalTab", Value(u"\v"));
  r.addConstant(u"vbNullChar", Value(std::u16string(1, u'\0')));
  r.addConstant(u"vbNullString", Value(u""));
}

}  // namespace vbs
