#include "state/variables.h"

#include "shell/editor_and_game.h"

namespace storyloom {

void ProjectVariables::LoadVariables(EditorAndGame& module) {
  while (Variables.Count() > 0) Variables.Remove(1);
  while (VariablesVariant.Count() > 0) VariablesVariant.Remove(1);
  try {
    FieldReader file = module.OpenFieldFile(module.paths.ConfigPath + QStringLiteral("Variables"));
    file.skip(1);
    bool variants = false;
    while (!file.atEnd()) {
      const QString name = file.readString();
      if (!variants && name == QLatin1String("***")) {
        variants = true;
        continue;
      }
      if (variants)
        VariablesVariant.Add(name, vbs::Value(static_cast<int16_t>(0)));
      else
        Variables.Add(name, 0);
    }
  } catch (const PlatformError&) {
    module.ReportError(QStringLiteral(" Unable to load variables list."));
  }
}

void ProjectVariables::EmptyVariables() {
  Variables.Clear();
  VariablesVariant.Clear();
}

bool ProjectVariables::HasAllowControlsReferencesVariable() const {
  const auto named = [](const QString& name) {
    return name.compare(QLatin1String("AllowControlsReferences"), Qt::CaseInsensitive) == 0;
  };
  for (const auto& v : Variables)
    if (named(v->Name)) return true;
  for (const auto& v : VariablesVariant)
    if (named(v->Name)) return true;
  return false;
}

qint16 ProjectVariables::GetVariableValue(const QString& VariableName) const {
  for (const auto& v : Variables)
    if (v->Name == VariableName) return v->Value;
  return kMissing;
}

void ProjectVariables::ChangeVariableValue(const QString& VariableName, qint16 NewValue) {
  for (const auto& v : Variables) {
    if (v->Name != VariableName) continue;
    v->Value = NewValue == -1 ? static_cast<qint16>(v->Value ^ 1) : NewValue;
  }
}

void ProjectVariables::ChangeVariableVariantValue(const QString& VariableName, const vbs::Value& NewValue) {
  for (const auto& v : VariablesVariant)
    if (v->Name == VariableName) v->Value = NewValue;
}

QStringList ProjectVariables::VariablesStatusLines() const {
  QStringList lines;
  lines << QStringLiteral(
      "This window allows you to view the value of all the project variables. To create a new "
      "project variable, click \"Project Variables...\" from the frame editor menu. To manually "
      "change the value of a variable, click \"Execute VBS code...\" from the Debug menu, and "
      "then enter: \"VARIABLE_NAME = NEW_VALUE\" (without the quotes).");
  lines << QString() << QString();
  lines << QStringLiteral("-------------------------- INTEGER VARIABLES: --------------------------             ");
  lines << QString();
  for (const auto& v : Variables) lines << v->Name + QStringLiteral(" = ") + QString::number(v->Value);
  lines << QString();
  lines << QStringLiteral("-------------------------- VARIANT VARIABLES: --------------------------             ");
  lines << QString();
  for (const auto& v : VariablesVariant)
    lines << v->Name + QStringLiteral(" = ") + QString::fromStdU16String(v->Value.toConcatString());
  return lines;
}

void ProjectVariables::mnuViewVariables_Click(EditorAndGame& module) const {
  QStringList lines;
  try {
    lines = VariablesStatusLines();
  } catch (const vbs::ScriptError& e) {
    module.MessageBox(QStringLiteral("Error displaying variables status. ") + QString::fromStdU16String(e.description),
                      msg::Exclamation, QStringLiteral("Error"));
    return;
  }
  const QString title = QStringLiteral("Variables Status");
  const QString crlf = QStringLiteral("\r\n");
  QString text;
  const int last = static_cast<int>(lines.size()) - 1;
  for (int k = 0; k <= last; ++k) {
    text += lines[k] + crlf;
    if ((k + 1) % 25 == 0 && k != last) {
      module.MessageBox(text, msg::Information, title);
      text = QString(52, QLatin1Char(' ')) + crlf;
    }
  }
  module.MessageBox(text + crlf, msg::Information, title);
}

}  // namespace storyloom
