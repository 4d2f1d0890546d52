#pragma once
#include <QString>
#include <vector>

// The .dlg file of a frame: the questions of its conversation, as the dialogue wizard of
// the editor writes them.
namespace storyloom {

class FieldReader;

struct DialogueQuestion {
  QString QuestionText;
  QString AnswerText;
  // Script code; every "|" of the file already turned back into a double quote.
  QString QuestionScript1, QuestionScript2, QuestionScript3;
  qint16 QuestionId = 0;
  bool InitiallyShown = false;
  bool EndsDialogue = false;
  // Hotspot numbers of the frame; 0 = none.
  qint16 QuestionHotspot1 = 0, QuestionHotspot2 = 0, QuestionHotspot3 = 0;
  // Question identifiers shown and hidden after the question is asked.
  std::vector<qint16> ShowAfter, HideAfter;

  // Run-time state.
  bool QuestionShown = false;  // starts as InitiallyShown
  bool QuestionAsked = false;
};

// Reads the header and every question record: 11 header values skipped, the count, then
// per record its fields, the two lists and 6 trailing values skipped. The run-time state
// starts as a new dialogue's. A negative count raises Subscript out of range (9); a file
// that ends early raises Input past end of file (62); a damaged number raises Type
// mismatch (13) or Overflow (6).
std::vector<DialogueQuestion> ReadDialogueFile(FieldReader& file);

}  // namespace storyloom
