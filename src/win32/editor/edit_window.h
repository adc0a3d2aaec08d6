// EditFrm's window: the Win32 controls, the EditView the logic talks to, and a message
// handler that hands each message to one EditFrm handler.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "editor/edit_frm.h"
#include "editor/edit_view.h"
#include "store/verse_recordset.h"
#include "win32/common/window.h"

namespace win32::editor {

inline constexpr wchar_t kEditFrmClass[] = L"TovimarEditFrm";

class EditWindow final : public Window, public ::editor::EditView {
 public:
  EditWindow(store::VerseRecordset& datPrimaryRS, const ::editor::ProgramVersion& version);
  ~EditWindow() override;
  EditWindow(const EditWindow&) = delete;
  EditWindow& operator=(const EditWindow&) = delete;

  // Registers the classes, creates the window centred on the screen (which loads the
  // rows) and shows it. False when the window could not be made.
  bool Create(HINSTANCE instance, int showCommand);
  // The buttons' access keys and the dialog keys (Tab between fields). True when the
  // message has been handled and must not be dispatched.
  bool PreTranslate(MSG& msg);

  // EditView.
  std::string FieldText(int index) const override;
  void SetFieldText(int index, const std::string& text) override;
  void SetReadChecked(bool checked) override;
  void SetDataCaption(const std::string& caption) override;
  void ShowMessage(const std::string& text, const std::string& title, ::editor::MessageIcon icon) override;
  bool AskYesNo(const std::string& text, const std::string& title) override;
  void Unload() override;
  void ResetMousePointer() override;

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  LRESULT OnCreate();
  void OnCommand(int id);
  void OnClose();
  void OnDestroy();
  void OnActivate(bool active);

  // Layout (edit_window_layout.cpp): the controls at their twip positions.
  bool CreateControls();
  HWND CreateChild(HWND parent, const wchar_t* className, const std::wstring& text, DWORD style,
                   DWORD exStyle, int id, int left, int top, int width, int height);
  int Px(int twips) const;
  SIZE OuterSize() const;
  // WM_DPICHANGED: the window moved to a monitor of another scale. The controls keep
  // their twips at the new DPI, the font follows, the client area keeps its size.
  void OnDpiChanged(int dpi, const RECT& suggested);
  void MakeFont();

  ::editor::EditFrm frm_;
  HINSTANCE instance_ = nullptr;
  HACCEL accelerators_ = nullptr;
  HFONT font_ = nullptr;
  int dpi_ = 96;
  // txtFields(0..4) and lblLabels(0..4); txtFields(2) stays null.
  std::array<HWND, 5> txtFields_{};
  std::array<HWND, 5> lblLabels_{};
  HWND chkRead_ = nullptr;
  HWND picButtons_ = nullptr;
  HWND datPrimaryRS_ = nullptr;
  // The control that had the focus when the window was last deactivated.
  HWND focus_ = nullptr;
};

}  // namespace win32::editor
