// What EditFrm needs of its window and of the program file: the bound fields, the data
// control's caption, message boxes, unloading and the version numbers.
#pragma once

#include <string>

namespace editor {

// Indexes of the bound controls (txtFields has no index 2: that is the Read check box).
inline constexpr int kBookField = 0;
inline constexpr int kChapterField = 1;
inline constexpr int kReadField = 2;
inline constexpr int kVersesField = 3;
inline constexpr int kVerseTxtField = 4;

enum class MessageIcon { kNone, kInformation, kQuestion };

// The EditFrm window as its logic sees it. The Win32 shell implements it over the real
// controls; every call is made on the user-interface thread.
class EditView {
 public:
  virtual ~EditView() = default;

  // Text of txtFields(index), index one of the k...Field constants except kReadField.
  virtual std::string FieldText(int index) const = 0;
  virtual void SetFieldText(int index, const std::string& text) = 0;
  // The hidden Read check box, chkFields(2).
  virtual void SetReadChecked(bool checked) = 0;
  // The text between the data control's navigation buttons.
  virtual void SetDataCaption(const std::string& caption) = 0;
  // A modal message box with an OK button only; returns when the user closes it.
  virtual void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) = 0;
  // A modal question with Yes and No buttons and a warning icon, No the default so
  // that a stray Enter gives nothing up; true when the user answers Yes.
  virtual bool AskYesNo(const std::string& text, const std::string& title) = 0;
  // Destroys the window; the program ends with it.
  virtual void Unload() = 0;
  // Sets the application's mouse pointer back to the default shape.
  virtual void ResetMousePointer() = 0;
};

struct VersionNumbers {
  int major = 0;
  int minor = 0;
  int revision = 0;
};

// The program file's version numbers (its version resource).
class ProgramVersion {
 public:
  virtual ~ProgramVersion() = default;
  virtual VersionNumbers Numbers() const = 0;
};

}  // namespace editor
