// The report list view against its QTableView: ticks and clicks both ways, rows
// added, removed and replaced reaching the table, and a million rows read only
// where the table shows them.

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QScrollBar>
#include <QTableView>
#include <QtTest/QTest>
#include <set>

#include "qt/qt_test_support.h"
#include "ui/declare.h"
#include "ui/list_view.h"
#include "ui/qt/list_view_view.h"
#include "ui/qt/renderer.h"

namespace korvanta::ui::qt {
namespace {

class ListViewWidget : public ::testing::Test {
 protected:
  ListViewWidget() : pictures_({}, nullptr), context_(pictures_), renderer_(context_) {
    context_.run_action = [this](const std::function<void()>& action) {
      action();
      ++actions_;
    };
    form_.set_rect({0, 0, 9000, 6000});
    list_.AddColumn("名称", 2250);
    list_.AddColumn("路径", 4500);
    list_.on_item_check = [this](int row) { checks_.push_back(row); };
    list_.on_item_click = [this](int row) { clicks_.push_back(row); };
  }
  ~ListViewWidget() override { renderer_.Destroy(form_); }

  QTableView* Show() {
    form_.set_visible(true);
    FormWindow& window = renderer_.WindowFor(form_);
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    test::Settle(20);
    actions_ = 0;  // the window's first size, told to its form
    return window.findChild<QTableView*>(QStringLiteral("ListView2"));
  }
  // Passes a model through, noting every row a view reads of it.
  class ReadCounter : public QIdentityProxyModel {
   public:
    QVariant data(const QModelIndex& index, int role) const override {
      rows.insert(index.row());
      return QIdentityProxyModel::data(index, role);
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
      if (orientation == Qt::Vertical) rows.insert(section);
      return QIdentityProxyModel::headerData(section, orientation, role);
    }
    mutable std::set<int> rows;
  };
  static QRect CheckRect(QTableView* table, int row) {
    // The indicator sits at the start of the first cell.
    QRect cell = table->visualRect(table->model()->index(row, 0));
    return {cell.left() + 3, cell.top(), 16, cell.height()};
  }

  Pictures pictures_;
  RenderContext context_;
  ui::Form form_{"Formlist"};
  ui::ListView& list_ = ui::Place<ui::ListView>(form_, "ListView2", {150, 150, 8700, 5700});
  Renderer renderer_;
  int actions_ = 0;
  std::vector<int> checks_, clicks_;
};

TEST_F(ListViewWidget, ColumnsAndRowsShowAsTheModelHasThem) {
  list_.AddRow({"a.tmp", "C:\\TEMP"}, true);
  QTableView* table = Show();
  ASSERT_NE(table, nullptr);
  QAbstractItemModel* rows = table->model();
  EXPECT_EQ(rows->headerData(1, Qt::Horizontal).toString(), QStringLiteral("路径"));
  EXPECT_EQ(table->horizontalHeader()->sectionSize(0), 150) << "2250 twips";
  EXPECT_EQ(table->horizontalHeader()->sectionSize(1), 300);
  list_.AddRow({"b.bak", "C:\\WINDOWS"});
  list_.AddRow({"c.old", "D:\\"});
  test::Settle(0);
  ASSERT_EQ(rows->rowCount(), 3);
  EXPECT_EQ(rows->index(2, 0).data().toString(), QStringLiteral("c.old"));
  EXPECT_EQ(rows->index(0, 0).data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
  EXPECT_EQ(rows->index(1, 0).data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Unchecked);

  list_.RemoveRow(1);
  ASSERT_EQ(rows->rowCount(), 2);
  EXPECT_EQ(rows->index(1, 0).data().toString(), QStringLiteral("c.old"));
  list_.set_cell(1, 1, "E:\\");
  EXPECT_EQ(rows->index(1, 1).data().toString(), QStringLiteral("E:\\"));
  list_.RemoveRowsIf([](const ui::ListView::Row& r) { return r.checked; });
  ASSERT_EQ(rows->rowCount(), 1);
  EXPECT_EQ(rows->index(0, 0).data().toString(), QStringLiteral("c.old"));
  list_.Clear();
  EXPECT_EQ(rows->rowCount(), 0);
  EXPECT_EQ(actions_, 0);
}

TEST_F(ListViewWidget, TicksAndClicksGoBothWaysWithoutEcho) {
  for (int i = 0; i < 5; ++i) list_.AddRow({"f" + std::to_string(i), "C:\\"});
  QTableView* table = Show();
  QAbstractItemModel* rows = table->model();

  list_.set_checked(3, true);
  list_.set_selected_row(2);
  EXPECT_EQ(rows->index(3, 0).data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
  EXPECT_TRUE(table->selectionModel()->isRowSelected(2, {}));
  EXPECT_TRUE(checks_.empty());
  EXPECT_TRUE(clicks_.empty());

  QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, CheckRect(table, 1).center());
  EXPECT_TRUE(list_.row(1).checked);
  EXPECT_EQ(checks_, std::vector<int>{1});
  QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, CheckRect(table, 3).center());
  EXPECT_FALSE(list_.row(3).checked);
  EXPECT_EQ(checks_, (std::vector<int>{1, 3}));

  clicks_.clear();
  QRect cell = table->visualRect(rows->index(4, 1));
  QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
  EXPECT_EQ(list_.selected_row(), 4);
  EXPECT_EQ(clicks_, std::vector<int>{4}) << "one click is one ItemClick";
  QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
  EXPECT_EQ(clicks_, (std::vector<int>{4, 4}));
  QTest::keyClick(table, Qt::Key_Up);
  EXPECT_EQ(list_.selected_row(), 3);
  EXPECT_EQ(clicks_.back(), 3);
}

// A million rows must not cost the table more than ten do: rows added one by one
// are announced together, and the table reads the rows it shows, wherever it is
// scrolled to.
TEST_F(ListViewWidget, AMillionRowsAreAnnouncedTogetherAndReadWhereTheyShow) {
  QTableView* table = Show();
  QAbstractItemModel* rows = table->model();
  int announcements = 0;
  // The connections end with this body, before the count they add to goes.
  QObject counting;
  auto count = [&] { ++announcements; };
  QObject::connect(rows, &QAbstractItemModel::rowsInserted, &counting, count);
  QObject::connect(rows, &QAbstractItemModel::modelReset, &counting, count);
  QObject::connect(rows, &QAbstractItemModel::layoutChanged, &counting, count);
  for (int i = 0; i < 1000000; ++i) list_.AddRow({"文件" + std::to_string(i), "C:\\TEMP"});
  test::Settle(0);
  EXPECT_EQ(rows->rowCount(), 1000000);
  EXPECT_LE(announcements, 2) << "each added row was announced on its own";

  // The same table, reading through a counter.
  ReadCounter counter;
  counter.setSourceModel(rows);
  table->setModel(&counter);
  int page = table->viewport()->height() / table->verticalHeader()->defaultSectionSize() + 2;
  for (int round = 0; round < 3; ++round) {
    table->scrollToBottom();
    table->viewport()->repaint();
    table->scrollTo(counter.index(500000, 0), QAbstractItemView::PositionAtCenter);
    table->viewport()->repaint();
    table->scrollToTop();
    table->viewport()->repaint();
  }
  std::set<int> read = counter.rows;
  QModelIndex last = counter.index(999999, 0);
  QString last_text = last.data().toString();
  table->setModel(rows);

  EXPECT_TRUE(read.count(999999)) << "the last row was not drawn";
  EXPECT_TRUE(read.count(500000));
  EXPECT_LE(read.size(), static_cast<std::size_t>(3 * page + 8))
      << "the table read rows it does not show (a page is " << page << " rows)";
  EXPECT_EQ(last_text, QStringLiteral("文件999999"));
}

}  // namespace
}  // namespace korvanta::ui::qt
