// Form1: opening the help file, starting the editor and showing the About box.
#include "reminder/form1.h"

namespace reminder {

void Form1::HelpHelpMnu_Click() {
  platform_.pointer.SetBusy(true);
  // Out of the always-on-top layer, so the help viewer can come in front.
  platform_.order.SetWindowPos(platform_.window.Handle(), WindowOrder::kNoTopmost, 0, 0, 0, 0,
                               WindowOrder::kNoMoveNoSize);
  (void)platform_.shell.ShellExecute(platform_.window.Handle(), "Open", kHelpFile, "",
                                     platform_.program.Folder(), Shell::kShowNormal);
  platform_.pump.DoEvents();
  platform_.pointer.SetBusy(false);
}

void Form1::DataEditorMnu_Click() {
  platform_.order.SetWindowPos(platform_.window.Handle(), WindowOrder::kNoTopmost, 0, 0, 0, 0,
                               WindowOrder::kNoMoveNoSize);
  (void)platform_.shell.ShellExecute(platform_.window.Handle(), "Open", kEditorFile, "",
                                     platform_.program.Folder(), Shell::kShowNormal);
}

void Form1::HelpAboutMnu_Click() { platform_.about.Show(); }

}  // namespace reminder
