#include <gtest/gtest.h>

#include "platform/message_boxes.h"

using namespace storyloom;

TEST(MessageBoxes, AnUnansweredBoxTakesItsDefaultButton) {
  MessageBoxes boxes;
  QStringList log;
  boxes.setAutomatic([&log](const QString& line) { log.append(line); });
  const struct {
    int style;
    int expected;
  } cases[] = {
      {msg::OKOnly, msg::OK},
      {msg::OKCancel, msg::OK},
      {msg::YesNo | msg::Exclamation | msg::DefaultButton2, msg::No},
      {msg::YesNoCancel | msg::DefaultButton3, msg::Cancel},
      {msg::AbortRetryIgnore | msg::DefaultButton2, msg::Retry},
      {msg::RetryCancel | msg::DefaultButton2, msg::Cancel},
  };
  for (const auto& c : cases) EXPECT_EQ(boxes.show("?", c.style, "t"), c.expected) << c.style;

  // An answer the box does not offer is not taken.
  boxes.queueAnswer(msg::Cancel);
  EXPECT_EQ(boxes.show("?", msg::YesNo | msg::DefaultButton2, "t"), msg::No);
  boxes.queueAnswer(msg::Yes);
  EXPECT_EQ(boxes.show("?", msg::YesNo | msg::DefaultButton2, "t"), msg::Yes);
  EXPECT_EQ(log.last(), "msgbox none \"t\" \"?\" -> Yes");
}

TEST(MessageBoxes, TheLogLineEscapesQuotesBackslashesAndLineBreaks) {
  MessageBoxes boxes;
  QStringList log;
  boxes.setAutomatic([&log](const QString& line) { log.append(line); });
  boxes.show("Cannot read \"C:\\Game\\A.fm\".\r\n\r\nType mismatch", msg::OKOnly | msg::Critical, "Error");
  ASSERT_EQ(log.size(), 1);
  EXPECT_EQ(log[0], R"(msgbox critical "Error" "Cannot read \"C:\\Game\\A.fm\".\n\nType mismatch" -> OK)");
}
