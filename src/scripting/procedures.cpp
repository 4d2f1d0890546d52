#include "scripting/procedures.h"

#include "shell/editor_and_game.h"

namespace storyloom {

QString LoadProcedures(EditorAndGame&) { return {}; }
QString UnscrambleText(const QString& sLine, qint32) { return sLine; }
qint32 NameCodeSum(const QString&) { return 0; }

}  // namespace storyloom
