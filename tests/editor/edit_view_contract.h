// What EditFrm relies on from any EditView, held against the fake and the real window
// alike: a text box gives back what was put in it, and the message boxes show what they
// are given and answer as the user did.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "editor/edit_view.h"

namespace editor::test {

// `boxes` gives the boxes shown so far, each as "title|icon|text" (icon "i", "?", "!" or
// empty), a question starting with "ask "; `answer` sets the user's reply to the next
// question: Yes, No, or nothing (Enter: the default).
inline void CheckEditViewContract(EditView& view, const std::function<std::vector<std::string>()>& boxes,
                                  const std::function<void(std::optional<bool>)>& answer) {
  const std::string texts[] = {"", "Psalm 119:105 \xE2\x80\x94 David", std::string(3000, 'x')};
  for (int field : {kBookField, kChapterField, kVersesField, kVerseTxtField}) {
    for (const std::string& text : texts) {
      view.SetFieldText(field, text);
      EXPECT_EQ(view.FieldText(field), text) << "field " << field;
    }
  }
  view.SetFieldText(kVerseTxtField, "In all thy ways\r\nacknowledge him");
  EXPECT_EQ(view.FieldText(kVerseTxtField), "In all thy ways\r\nacknowledge him");

  view.ShowMessage("Gone.", "Tovimar", MessageIcon::kNone);
  view.ShowMessage("V1 \xE2\x80\x94 (C)", "About...", MessageIcon::kInformation);
  view.ShowMessage("Why?", "Notes...", MessageIcon::kQuestion);
  answer(true);
  EXPECT_TRUE(view.AskYesNo("Give up?", "Tovimar"));
  answer(false);
  EXPECT_FALSE(view.AskYesNo("Give up?", "Tovimar"));
  answer(std::nullopt);
  EXPECT_FALSE(view.AskYesNo("Really?", "Tovimar")) << "Enter must answer No";
  EXPECT_EQ(boxes(), (std::vector<std::string>{"Tovimar||Gone.", "About...|i|V1 \xE2\x80\x94 (C)",
                                               "Notes...|?|Why?", "ask Tovimar|!|Give up?",
                                               "ask Tovimar|!|Give up?", "ask Tovimar|!|Really?"}));
}

}  // namespace editor::test
