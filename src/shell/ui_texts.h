#pragma once
#include <QString>
#include <array>

// The table of user-interface texts: 61 entries by number, two built-in wordings, and
// the project's own texts from Config\Texts.
namespace storyloom {

class FieldReader;

class UITexts {
 public:
  static constexpr int kCount = 61;

  // Writes entries 1 to 51 of wording 0, or of wording 1 for any other value.
  void SetDefaultUITexts(int wording);
  // Fills the table from the texts file (a reader over Config\Texts), or with wording 0
  // when there is none. Returns false after a read error; the caller then shows
  // "Unable to load text." and the table holds wording 0.
  bool LoadUITexts(FieldReader* textsFile);

  const QString& operator()(int index) const { return texts_.at(static_cast<size_t>(index)); }
  const QString& at(int index) const { return texts_.at(static_cast<size_t>(index)); }
  void set(int index, const QString& text) { texts_.at(static_cast<size_t>(index)) = text; }

 private:
  std::array<QString, kCount> texts_;
};

}  // namespace storyloom
