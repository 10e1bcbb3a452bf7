// The owner-data list view: for a million rows as for ten the window asks only
// for the rows it draws, and ticks and clicks go both ways.

#include "ui/list_view.h"

#include <gtest/gtest.h>

#include "gui_test.h"
#include "store/win32/win32_text.h"
#include "ui/declare.h"
#include "ui/win32/form_window.h"
#include "ui/win32/list_view_window.h"

namespace korvanta::ui::win32::test {
namespace {

struct ListForm {
  ListForm() {
    form.set_rect({0, 0, 7500, 4500});
    list.AddColumn("名称", 1800);
    list.AddColumn("位置", 3000);
    list.AddColumn("大小", 1200);
    list.on_item_check = [this](int row) { checks.push_back(row); };
    list.on_item_click = [this](int row) { clicks.push_back(row); };
  }
  Form form{"Formlist"};
  ListView& list = Place<ListView>(form, "ListView2", {120, 120, 7200, 4200});
  std::vector<int> checks, clicks;
};

class ListViewTest : public GuiTest {
 protected:
  ListViewWindow& Native(ListForm& f) {
    return static_cast<ListViewWindow&>(*renderer().Find(f.form)->WindowOf(f.list));
  }
  std::string CellText(HWND list, int row, int column) {
    wchar_t buffer[260] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = 260;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return store::Narrow(buffer);
  }
  bool ShownChecked(HWND list, int row) {
    auto state = static_cast<UINT>(
        SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK));
    return (state & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
  }
  // The rows come in one by one while the window shows (as a scan adds them);
  // then the list is scrolled to its last row and painted. Returns how many rows
  // the window asked for.
  struct Cost {
    long requests;
  };
  Cost Fill(int rows) {
    ListForm f;
    ShowForm(f.form);
    for (int i = 0; i < rows; ++i) {
      f.list.AddRow({"文件" + std::to_string(i) + ".tmp", "C:\\WINDOWS\\Temp", "4 KB"}, i % 3 == 0);
    }
    HWND list = Window(f.list);
    long before = Native(f).display_requests();
    Pump(0);
    SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(rows - 1), FALSE);
    UpdateWindow(list);
    SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(rows / 2), FALSE);
    UpdateWindow(list);
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), rows);
    EXPECT_EQ(CellText(list, rows - 1, 0), "文件" + std::to_string(rows - 1) + ".tmp");
    EXPECT_EQ(ShownChecked(list, rows - 1), (rows - 1) % 3 == 0);
    long requests = Native(f).display_requests() - before;
    renderer().Unload(f.form);
    return {requests};
  }
};

TEST_F(ListViewTest, AMillionRowsCostWhatTenDo) {
  Cost ten = Fill(10);
  Cost million = Fill(1000000);
  // The window draws what fits on it: a page of rows, for ten rows and a million.
  EXPECT_GT(ten.requests, 0);
  EXPECT_LT(million.requests, 600) << "the window asked for rows it does not show";
  EXPECT_LT(million.requests, 4 * ten.requests + 200);
}

TEST_F(ListViewTest, TicksAndClicksGoBothWays) {
  ListForm f;
  for (int i = 0; i < 20; ++i) f.list.AddRow({"行" + std::to_string(i), "C:\\", "1 KB"});
  ShowForm(f.form);
  HWND list = Window(f.list);

  // Code ticks a row and selects another: the window shows it, no event.
  f.list.set_checked(3, true);
  f.list.set_selected_row(5);
  Pump();
  EXPECT_TRUE(ShownChecked(list, 3));
  EXPECT_FALSE(ShownChecked(list, 4));
  EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 5);
  EXPECT_TRUE(f.checks.empty());
  EXPECT_TRUE(f.clicks.empty());

  // A click on row 2's check box ticks it, once.
  RECT label{};
  label.left = LVIR_LABEL;
  SendMessageW(list, LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&label));
  LVHITTESTINFO hit{};
  for (int x = 1; x < label.left; ++x) {
    hit.pt = {x, (label.top + label.bottom) / 2};
    SendMessageW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (hit.flags & LVHT_ONITEMSTATEICON) break;
  }
  ASSERT_TRUE(hit.flags & LVHT_ONITEMSTATEICON) << "no check box found on the row";
  Click(list, hit.pt);
  EXPECT_TRUE(f.list.row(2).checked);
  EXPECT_TRUE(ShownChecked(list, 2));
  EXPECT_EQ(f.checks, std::vector<int>{2});
  Click(list, hit.pt);
  EXPECT_FALSE(f.list.row(2).checked);
  EXPECT_EQ(f.checks, (std::vector<int>{2, 2}));

  // A click on a row's text selects it and raises ItemClick, ticking nothing.
  label = {};
  label.left = LVIR_LABEL;
  SendMessageW(list, LVM_GETITEMRECT, 7, reinterpret_cast<LPARAM>(&label));
  Click(list, {label.left + 10, (label.top + label.bottom) / 2});
  EXPECT_EQ(f.list.selected_row(), 7);
  EXPECT_EQ(f.clicks, std::vector<int>{7});
  EXPECT_FALSE(f.list.row(7).checked);

  // The keyboard: Down selects the next row, the space bar ticks it.
  Press(VK_DOWN);
  EXPECT_EQ(f.list.selected_row(), 8);
  EXPECT_EQ(f.clicks, (std::vector<int>{7, 8}));
  Press(VK_SPACE);
  EXPECT_TRUE(f.list.row(8).checked);
  EXPECT_TRUE(ShownChecked(list, 8));
  EXPECT_EQ(f.checks, (std::vector<int>{2, 2, 8}));
}

TEST_F(ListViewTest, RemovedRowsLeaveTheWindowToo) {
  ListForm f;
  for (int i = 0; i < 10; ++i) f.list.AddRow({"行" + std::to_string(i)}, i % 2 == 0);
  f.list.set_selected_row(6);
  ShowForm(f.form);
  HWND list = Window(f.list);
  f.list.RemoveRowsIf([](const ListView::Row& row) { return row.checked; });
  Pump();
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 5);
  EXPECT_EQ(CellText(list, 0, 0), "行1");
  EXPECT_EQ(CellText(list, 4, 0), "行9");
  EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), -1)
      << "the selected row went";
  f.list.RemoveRow(0);
  f.list.Clear();
  Pump();
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 0);
  EXPECT_TRUE(f.clicks.empty());
  EXPECT_TRUE(f.checks.empty());
}

}  // namespace
}  // namespace korvanta::ui::win32::test
