#include "dialogue/dialogue_file.h"

#include "platform/platform_error.h"
#include "shell/field_reader.h"

namespace storyloom {
namespace {

constexpr int kHeaderValues = 3 + 2 + 6;
constexpr int kTrailerValues = 6;

std::vector<qint16> readIdentifierList(FieldReader& file) {
  const qint16 count = file.readInteger();
  std::vector<qint16> ids;
  for (qint16 i = 0; i < count; ++i) ids.push_back(file.readInteger());
  return ids;
}

}  // namespace

std::vector<DialogueQuestion> ReadDialogueFile(FieldReader& file) {
  file.skip(kHeaderValues);
  const qint16 count = file.readInteger();
  if (count < 0) throw PlatformError::subscriptOutOfRange();
  std::vector<DialogueQuestion> questions;
  questions.reserve(static_cast<size_t>(count));
  for (qint16 i = 0; i < count; ++i) {
    DialogueQuestion q;
    q.QuestionText = file.readString();
    q.AnswerText = file.readString();
    q.QuestionScript1 = BarToQuote(file.readString());
    q.QuestionScript2 = BarToQuote(file.readString());
    q.QuestionScript3 = BarToQuote(file.readString());
    q.QuestionId = file.readInteger();
    q.InitiallyShown = file.readBoolean();
    q.EndsDialogue = file.readBoolean();
    q.QuestionHotspot1 = file.readInteger();
    q.QuestionHotspot2 = file.readInteger();
    q.QuestionHotspot3 = file.readInteger();
    q.ShowAfter = readIdentifierList(file);
    q.HideAfter = readIdentifierList(file);
    file.skip(kTrailerValues);
    q.QuestionShown = q.InitiallyShown;
    q.QuestionAsked = false;
    questions.push_back(std::move(q));
  }
  return questions;
}

}  // namespace storyloom
