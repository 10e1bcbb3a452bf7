// The system's dialogs as the program asks for them: owner, title, text, icon and
// buttons of message boxes, the file-open dialog's filter and answer, the icon
// picker. A timer plays the user: it finds the dialog and answers it.

#include <gtest/gtest.h>

#include <functional>

#include "gui_test.h"
#include "store/utf.h"
#include "store/win32/win32_text.h"
#include "support/test_support.h"
#include "ui/declare.h"
#include "ui/win32/win32_dialogs.h"

namespace korvanta::ui::win32::test {
namespace {

// What the timer does to the first dialog (#32770) of this thread it finds.
std::function<void(HWND)> answer;
HWND answered = nullptr;

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  if (IsWindowVisible(window) && lstrcmpW(name, L"#32770") == 0) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

// Dialogs nobody expected (an error box after a wrong answer) are cancelled and
// counted, so that a test fails instead of waiting forever.
int unexpected = 0;

void CALLBACK Answer(HWND, UINT, UINT_PTR, DWORD) {
  HWND dialog = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
  if (!dialog || dialog == answered) return;
  answered = dialog;
  if (!answer) {
    ++unexpected;
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    return;
  }
  auto then = std::move(answer);
  answer = nullptr;
  then(dialog);
}

class DialogsTest : public GuiTest {
 protected:
  DialogsTest() : dialogs_(renderer()) {
    form_.set_rect({0, 0, 4500, 3000});
    form_.set_caption("主窗口");
    unexpected = 0;
    timer_ = SetTimer(nullptr, 0, 50, Answer);
  }
  ~DialogsTest() override {
    KillTimer(nullptr, timer_);
    EXPECT_EQ(unexpected, 0) << "a dialog showed that the test did not expect";
  }
  // The next dialog gets this answer, as soon as it shows.
  void AnswerWith(std::function<void(HWND)> what) {
    answer = std::move(what);
    answered = nullptr;
  }
  static std::string DialogText(HWND dialog) {
    // The message box's text is its static control with the most characters.
    std::string longest;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      std::string text = TextOf(child);
      if (text.size() > longest.size()) longest = text;
    }
    return longest;
  }

  Form form_{"Formowner"};
  Win32Dialogs dialogs_;
  UINT_PTR timer_ = 0;
};

TEST_F(DialogsTest, MessageBoxesShowWhatTheyAreAskedAndReturnTheAnswer) {
  ShowForm(form_);
  std::string title, text;
  HWND owner = nullptr;
  LONG_PTR style = 0;
  AnswerWith([&](HWND dialog) {
    title = TextOf(dialog);
    text = DialogText(dialog);
    owner = GetWindow(dialog, GW_OWNER);
    style = GetWindowLongPtrW(GetDlgItem(dialog, IDCANCEL), GWL_STYLE);
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  MessageAnswer a = dialogs_.MessageBox(&form_, "警告", "确定要删除吗？", MessageIcon::kQuestion,
                                        MessageButtons::kOkCancel);
  EXPECT_EQ(a, MessageAnswer::kCancel);
  EXPECT_EQ(title, "警告");
  EXPECT_EQ(text, "确定要删除吗？");
  EXPECT_EQ(owner, Window(form_)) << "it belongs to the form that asked";
  EXPECT_NE(style, 0) << "an OK/Cancel box has a Cancel button";

  AnswerWith([](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDOK, 0); });
  EXPECT_EQ(
      dialogs_.MessageBox(nullptr, "消息", "完成", MessageIcon::kInformation, MessageButtons::kOk),
      MessageAnswer::kOk);
  EXPECT_NE(answered, nullptr);
}

TEST_F(DialogsTest, TheFileDialogFiltersAndAnswersWithThePathChosen) {
  korvanta::test::TempDir dir;
  std::filesystem::path picture = dir.path() / "标志.bmp";
  korvanta::test::WriteBytes(picture, "BM");
  std::wstring chosen = picture.wstring();
  ShowForm(form_);
  std::string title, filter;
  AnswerWith([&](HWND dialog) {
    title = TextOf(dialog);
    filter = TextOf(GetDlgItem(dialog, 0x470));  // the file type box (cmb1)
    // The file name box (cmb13 in new dialogs, edt1 in old ones).
    HWND name = GetDlgItem(dialog, 0x47c);
    if (!name) name = GetDlgItem(dialog, 0x480);
    SetWindowTextW(name, chosen.c_str());
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  std::optional<std::string> file = dialogs_.OpenFile(&form_, "选择图片", "bmp文件|*.bmp");
  ASSERT_TRUE(file.has_value());
  EXPECT_TRUE(store::EqualsIgnoreCase(*file, store::Narrow(chosen))) << *file;
  EXPECT_EQ(title, "选择图片");
  EXPECT_EQ(filter, "bmp文件");

  AnswerWith([](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); });
  EXPECT_FALSE(dialogs_.OpenFile(&form_, "选择图片", "").has_value()) << "cancelled";
}

TEST_F(DialogsTest, TheFolderBrowserAndIconPickerCanBeCancelled) {
  ShowForm(form_);
  std::string prompt;
  AnswerWith([&](HWND dialog) {
    prompt = DialogText(dialog);
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_FALSE(dialogs_.BrowseForFolder(&form_, "请选择备份文件夹").has_value());
  EXPECT_EQ(prompt, "请选择备份文件夹");

  AnswerWith([](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDOK, 0); });
  IconPick icon = dialogs_.PickIcon(&form_, {"%SystemRoot%\\system32\\shell32.dll", 3});
  if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")) {
    // Wine's PickIconDlg shows nothing and answers -1: no choice, and it says so.
    EXPECT_TRUE(icon.unavailable);
    EXPECT_FALSE(icon.choice.has_value());
    return;
  }
  ASSERT_TRUE(icon.choice.has_value());
  EXPECT_EQ(icon.choice->file.find('%'), std::string::npos) << "paths are stored expanded";
  EXPECT_TRUE(store::EqualsIgnoreCase(icon.choice->file, "C:\\windows\\system32\\shell32.dll"))
      << icon.choice->file;
}

}  // namespace
}  // namespace korvanta::ui::win32::test
