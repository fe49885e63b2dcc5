// The list view in a real dialog under real mouse and keys: sorting by
// header clicks, selection, check boxes, type-ahead search and a worker
// thread filling the list, with the rows' order read back from the screen.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "gui/element_clock.h"
#include "gui/theme.h"
#include "tests/gui/controls/list_form.h"

namespace {

std::string utf8_of(const std::wstring& text)
{
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), &bytes[0], size, nullptr, nullptr);
    return bytes;
}

// The order a sort of the earlier order gives, by a stable sort of the
// keyed rows: rows without a key first ascending, last descending, equal
// keys reversed descending.
template <class Key>
std::vector<int32_t> sorted_order(const std::vector<int32_t>& before, const std::vector<bool>& keyed,
                                  const std::vector<Key>& keys, bool ascending)
{
    std::vector<int32_t> with_key, without_key;
    for (int32_t row : before)
        (keyed[size_t(row)] ? with_key : without_key).push_back(row);
    std::stable_sort(with_key.begin(), with_key.end(),
                     [&keys](int32_t a, int32_t b) { return keys[size_t(a)] < keys[size_t(b)]; });
    if (!ascending)
        std::reverse(with_key.begin(), with_key.end());
    std::vector<int32_t> order = ascending ? without_key : with_key;
    const std::vector<int32_t>& rest = ascending ? with_key : without_key;
    order.insert(order.end(), rest.begin(), rest.end());
    return order;
}

uint64_t size_of_row(const cListViewChild::cCell* cell, void* sizes)
{
    return (*static_cast<std::vector<uint64_t>*>(sizes))[size_t(cell->row)];
}

class ListViewTest : public ListFormTest {};

TEST_F(ListViewTest, HeaderClicksSortAscendingThenDescendingKeepingEqualKeysInOrder)
{
    // Names: an empty text and a missing cell have no key; sizes beyond 32
    // bits, and rows without a size cell.
    const std::vector<std::wstring> names = {L"beta", L"Alpha", L"alpha", L"beta", L"", L"Beta",
                                             L"al",   L"beta",  L"\u00f6l", L"-"};
    std::vector<uint64_t> sizes = {5ull << 30, 4ull << 30, (4ull << 30) + 1, 17, 0, 17, (1ull << 63) + 1, 0,
                                   4ull << 30, 0};
    const std::vector<bool> has_size = {true, true, true, true, false, true, true, true, true, false};
    std::vector<bool> has_name;
    std::vector<std::string> name_keys;
    for (size_t row = 0; row < names.size(); ++row) {
        has_name.push_back(row != 9 && !names[row].empty());
        name_keys.push_back(utf8_of(names[row]));
    }
    std::vector<std::vector<int32_t>> expected{{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}};
    expected.push_back(sorted_order(expected.back(), has_name, name_keys, true));
    expected.push_back(sorted_order(expected.back(), has_name, name_keys, false));
    expected.push_back(sorted_order(expected.back(), has_size, sizes, true));
    expected.push_back(sorted_order(expected.back(), has_size, sizes, false));

    std::vector<std::vector<int32_t>> shown;
    EXPECT_EQ(Run(
                  [&](cListForm* f) {
                      for (int32_t row = 0; row < 10; ++row) {
                          f->list.SetCell(row, 0, nullptr, int16_t(row), 0);
                          if (row != 9)
                              f->list.SetCell(row, 1, names[size_t(row)].c_str(), -1, 0);
                          if (has_size[size_t(row)])
                              f->list.SetCell(row, 2, std::to_wstring(sizes[size_t(row)]).c_str(), -1, 0);
                      }
                      f->list.SetSortProvider(1, new cListViewChild::cListViewNameSortProvider);
                      auto* by_size = new cListViewChild::cListViewU64PramSortProvider;
                      by_size->SetKeyFunction(size_of_row, &sizes);
                      f->list.SetSortProvider(2, by_size);
                  },
                  [&](cListForm* f) {
                      auto read = [&shown, f]() { shown.push_back(f->ShownOrder()); };
                      // The buttons exist once the form is created.
                      // Clicks on one button land apart, so that they make no double click.
                      auto click_column = [f](int32_t column, int32_t x) {
                          return [f, column, x]() {
                              cHeaderChild* header = f->list.GetHeader();
                              ClickAt(column < 0 ? header->GetFillerButton() : header->GetColumnButton(column), x,
                                      8)();
                          };
                      };
                      return cSteps{read, click_column(1, 20), read, click_column(1, 40), read, click_column(2, 20),
                                    read, click_column(2, 40), read, click_column(-1, 10), read};
                  }),
              1);
    expected.push_back(expected.back());
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(log, (cListLog{"11 1", "11 1", "11 2", "11 2"})) << "the filler button sorts nothing";
}

struct cSelectionCase {
    const char* name;
    bool multi_select;
    std::function<cSteps(cListForm*)> script;
    std::vector<int32_t> selected;
    int32_t current;
    cListLog log;
};

TEST_F(ListViewTest, MouseAndKeysSelectRowsAsTheirModifiersAsk)
{
    auto key = [](WORD pressed, WORD modifier = 0) { return [=]() { cFormWindow::Press(pressed, modifier); }; };
    const cSelectionCase cases[] = {
        {"Ctrl adds a row", true,
         [](cListForm* f) { return cSteps{ClickRow(f, 1), ClickRow(f, 3, VK_CONTROL)}; }, {1, 3}, 3,
         {"7 1 -1 0 0", "7 3 1 1 0"}},
        {"Shift selects the range", true,
         [](cListForm* f) { return cSteps{ClickRow(f, 1), ClickRow(f, 3, VK_SHIFT)}; }, {1, 2, 3}, 3,
         {"7 1 -1 0 0", "7 3 1 0 1"}},
        {"Shift+Down keeps what Ctrl selected", true,
         [&](cListForm* f) { return cSteps{ClickRow(f, 0), ClickRow(f, 3, VK_CONTROL), key(VK_DOWN, VK_SHIFT)}; },
         {0, 3, 4}, 4, {"7 0 -1 0 0", "7 3 0 1 0", "7 4 3 0 1"}},
        {"Ctrl+A selects every row", true,
         [&](cListForm* f) { return cSteps{ClickRow(f, 2), key('A', VK_CONTROL)}; }, {0, 1, 2, 3, 4, 5}, 0,
         {"7 2 -1 0 0", "7 0 2 0 1"}},
        {"Ctrl on a selected row deselects it", true,
         // Apart, so that the two clicks make no double click.
         [](cListForm* f) { return cSteps{ClickRow(f, 2), ClickRow(f, 2, VK_CONTROL, 160)}; }, {}, -1,
         {"7 2 -1 0 0"}},
        {"a click below the rows drops the selection", true,
         [](cListForm* f) { return cSteps{ClickRow(f, 2), ClickAt(&f->list, 100, 250)}; }, {}, -1,
         {"7 2 -1 0 0", "7 -1 2 0 0"}},
        {"Down, End, then Shift+Home", true,
         [&](cListForm* f) {
             return cSteps{[f]() { f->list.TakeFocus(); }, key(VK_DOWN), key(VK_END), key(VK_HOME, VK_SHIFT)};
         },
         {0, 1, 2, 3, 4, 5}, 0, {"7 0 -1 0 0", "7 5 0 0 0", "7 0 5 0 1"}},
        {"a single-selection list keeps one row", false,
         [](cListForm* f) { return cSteps{ClickRow(f, 1), ClickRow(f, 3, VK_CONTROL), ClickRow(f, 4, VK_SHIFT)}; },
         {4}, 4, {"7 1 -1 0 0", "7 3 1 1 0", "7 4 3 0 1"}},
        {"Enter and a double click activate, F5 and Backspace are posted", false,
         [&](cListForm* f) {
             return cSteps{ClickRow(f, 1), key(VK_RETURN), key(VK_F5), key(VK_BACK),
                           // The second press comes while the framework still
                           // sees the button down, as a user's double click does.
                           PressRow(f, 2, false), PressRow(f, 2, true), PressRow(f, 2, false),
                           PressRow(f, 2, true)};
         },
         {2}, 2, {"7 1 -1 0 0", "6 1", "8", "9", "7 2 1 0 0", "6 2"}},
        {"Page Down over rows that exactly fill the view lands on the last row shown, then a view further", false,
         [&](cListForm* f) {
             return cSteps{[f]() {
                               // Three rows fill the view exactly.
                               std::vector<cShownRow> shown = f->ShownIcons();
                               int32_t pitch = shown[1].top - shown[0].top;
                               int32_t chrome = f->list.GetHeight() - f->list.GetClientRect().height;
                               f->GetClientPanel()->AddChild(&f->list, 10, 10, cListForm::list_width,
                                                             chrome + 3 * pitch);
                           },
                           ClickRow(f, 0), key(VK_NEXT), key(VK_NEXT)};
         },
         {4}, 4, {"7 0 -1 0 0", "7 2 0 0 0", "7 4 2 0 0"}},
        {"a quick double click activates: the button is up again when the second press is handled", false,
         // Two whole clicks 40 ms apart, as a touchpad's tap gives them.
         [](cListForm* f) {
             return cSteps{[f]() {
                 ClickRow(f, 3)();
                 run_later(40, [f]() { ClickRow(f, 3)(); });
             }};
         },
         {3}, 3, {"7 3 -1 0 0", "6 3"}},
    };
    for (const cSelectionCase& test : cases) {
        SCOPED_TRACE(test.name);
        log.clear();
        std::vector<int32_t> selected{-2};
        int32_t current = -2;
        EXPECT_EQ(Run(
                      [&](cListForm* f) {
                          f->list.SetMultiSelect(test.multi_select);
                          f->AddRows({L"r0", L"r1", L"r2", L"r3", L"r4", L"r5"});
                      },
                      [&](cListForm* f) {
                          cSteps steps = test.script(f);
                          steps.push_back([&, f]() {
                              selected = f->SelectedRows();
                              current = f->list.GetCurrentRow();
                          });
                          return steps;
                      }),
                  1);
        EXPECT_EQ(selected, test.selected);
        EXPECT_EQ(current, test.current);
        EXPECT_EQ(log, test.log);
    }
}

TEST_F(ListViewTest, ClickInTheCheckBoxColumnSpaceAndSetCheckedCheckRows)
{
    std::vector<bool> states;
    int32_t mismatches = -1, unchecked_mismatches = -1;
    EXPECT_EQ(Run(
                  [](cListForm* f) {
                      f->list.ShowCheckBoxes(true);
                      f->AddRows({L"r0", L"r1", L"r2", L"r3", L"r4"});
                  },
                  [&](cListForm* f) {
                      return cSteps{
                          ClickRow(f, 2, 0, 7),
                          [f]() { cFormWindow::Press(VK_SPACE); },
                          ClickRow(f, 3),
                          [f]() { cFormWindow::Press(VK_SPACE); },
                          [f]() {
                              f->list.SetChecked(4, true, true);
                              f->list.SetChecked(4, true, true);
                              f->list.SetChecked(0, true, false);
                          },
                          [&, f]() {
                              for (int32_t row = 0; row < 5; ++row)
                                  states.push_back(f->list.IsChecked(row));
                              // The box's image is centred in the row, 3 pixels above the icon.
                              for (const cShownRow& shown : f->ShownIcons()) {
                                  if (shown.row == 2)
                                      mismatches = cFormWindow::ImageMismatches(&f->list, 1, shown.top - 3,
                                                                                theme_image(31), false);
                                  if (shown.row == 1)
                                      unchecked_mismatches = cFormWindow::ImageMismatches(
                                          &f->list, 1, shown.top - 3, theme_image(30), false);
                              }
                          }};
                  }),
              1);
    EXPECT_EQ(states, (std::vector<bool>{true, false, true, true, true}));
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(unchecked_mismatches, 0);
    // The click in the box neither selects nor moves the current row, so
    // the first Space finds no current row.
    EXPECT_EQ(log, (cListLog{"10 2 0", "7 3 -1 0 0", "10 3 0", "10 4 0"}));
}

std::atomic<uint32_t> fake_now{0};

uint32_t fake_clock()
{
    return fake_now;
}

struct cTypeAheadCase {
    const char* name;
    std::vector<std::string> words;  // each typed at once, with a pause between words
    std::vector<int32_t> current;    // the current row after each word
};

TEST_F(ListViewTest, TypeAheadFindsTheRowsPrefixFromTheFirstRow)
{
    const cTypeAheadCase cases[] = {
        {"the first row is found without a current row", {"b"}, {0}},
        {"a two-letter prefix", {"al"}, {1}},
        {"case is ignored", {"AL"}, {1}},
        {"the whole typed text must match", {"alps"}, {2}},
        {"a pause searches on after the current row", {"b", "b", "b"}, {0, 3, 3}},
        {"a pause starts the text again", {"a", "l"}, {1, 1}},
    };
    set_element_tick_source(fake_clock);
    for (const cTypeAheadCase& test : cases) {
        SCOPED_TRACE(test.name);
        std::vector<int32_t> current;
        EXPECT_EQ(Run(
                      [](cListForm* f) {
                          // The search reads the first column.
                          const wchar_t* names[] = {L"beta", L"alpha", L"alps", L"bravo", L"Alpine"};
                          for (int32_t row = 0; row < 5; ++row)
                              f->list.SetCell(row, 0, names[row], int16_t(row), 0);
                      },
                      [&](cListForm* f) {
                          cSteps steps{[f]() { f->list.TakeFocus(); }};
                          for (const std::string& word : test.words) {
                              steps.push_back([word]() {
                                  fake_now += 1000;
                                  for (char letter : word) {
                                      bool upper = letter >= 'A' && letter <= 'Z';
                                      cFormWindow::Press(WORD(upper ? letter : letter - 'a' + 'A'),
                                                         upper ? VK_SHIFT : 0);
                                  }
                              });
                              steps.push_back([&current, f]() { current.push_back(f->list.GetCurrentRow()); });
                          }
                          return steps;
                      }),
                  1);
        EXPECT_EQ(current, test.current);
    }
    set_element_tick_source(nullptr);
}

// The row, column and data word a worker's call k sets: batches of 40 calls
// start with a Clear, then set 13 rows of three cells each.
struct cWorkerCall {
    bool clear;
    int32_t row;
    int32_t column;
};

cWorkerCall worker_call(int32_t k)
{
    int32_t j = k % 40;
    return cWorkerCall{j == 0, (j - 1) / 3, (j - 1) % 3};
}

TEST_F(ListViewTest, WorkerFillsTheListWhileTheUiResizesAndPaints)
{
    const int32_t calls = 2000;
    for (bool deferred : {true, false}) {
        SCOPED_TRACE(deferred ? "under BeginUpdate" : "without a deferral");
        std::vector<int32_t> shown;
        std::vector<uint32_t> data;
        int32_t paints = 0;
        bool laid_out_at_end = false;
        EXPECT_EQ(Run([](cListForm*) {},
                      [&](cListForm* f) {
                          return cSteps{
                              [&, f]() {
                                  if (deferred)
                                      f->list.BeginUpdate();
                                  std::atomic<bool> done{false};
                                  std::thread worker([&done, f]() {
                                      for (int32_t k = 0; k < calls; ++k) {
                                          cWorkerCall call = worker_call(k);
                                          if (call.clear)
                                              f->list.Clear();
                                          else
                                              f->list.SetCell(call.row, call.column,
                                                              call.column == 1 ? L"row" : nullptr,
                                                              int16_t(call.column == 0 ? call.row : -1),
                                                              uint32_t(k));
                                          if (k % 200 == 0)
                                              Sleep(1);
                                      }
                                      done = true;
                                  });
                                  DWORD start = GetTickCount();
                                  HWND host = host_of(f);
                                  while ((!done || paints < 20) && GetTickCount() - start < 20000) {
                                      f->GetClientPanel()->AddChild(&f->list, 10, 10, 200 + (paints % 5) * 40,
                                                                    150 + (paints % 3) * 40);
                                      RedrawWindow(host, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
                                      // The wake-ups of the worker's changes, and nothing else.
                                      MSG message;
                                      while (PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_REMOVE))
                                          DispatchMessageW(&message);
                                      ++paints;
                                  }
                                  worker.join();
                                  if (deferred)
                                      laid_out_at_end = f->list.EndUpdate(true);
                                  f->GetClientPanel()->AddChild(&f->list, 10, 10, cListForm::list_width,
                                                                cListForm::list_height);
                              },
                              [&, f]() {
                                  shown = f->ShownOrder();
                                  for (int32_t row = 0; row < 13; ++row)
                                      data.push_back(f->list.GetCell(row, 2));
                              }};
                      }),
                  1);
        std::vector<int32_t> rows;
        std::vector<uint32_t> last_data;
        for (int32_t k = (calls - 1) / 40 * 40 + 1; k < calls; ++k) {
            cWorkerCall call = worker_call(k);
            if (call.column == 0)
                rows.push_back(call.row);
            if (call.column == 2)
                last_data.push_back(uint32_t(k));
        }
        EXPECT_GE(paints, 20);
        EXPECT_EQ(laid_out_at_end, deferred);
        EXPECT_EQ(shown, rows);
        EXPECT_EQ(data, last_data);
    }
}

TEST(ListViewCells, CellsKeepTheirDataAndTextUnlessReplaced)
{
    cListViewChild list;
    EXPECT_FALSE(list.SetCell(-1, 0, L"refused", -1, 5));
    EXPECT_TRUE(list.SetCell(7, 1, L"first", 3, 42));
    EXPECT_TRUE(list.SetCell(7, 1, L"second", 3, 0));
    EXPECT_TRUE(list.SetCell(7, 1, nullptr, -1, 43));
    const cListViewChild::cCell* cell = list.GetCellRecord(7, 1);
    ASSERT_NE(cell, nullptr);
    EXPECT_STREQ(cell->text.Text(), L"second");
    EXPECT_EQ(cell->image, -1);
    EXPECT_EQ(cell->row, 7);
    EXPECT_EQ(list.GetCell(7, 1), 43u);
    EXPECT_EQ(list.GetCell(7, 2), 0u);
    EXPECT_EQ(list.GetCellRecord(8, 1), nullptr);
    EXPECT_FALSE(list.IsChecked(8));
    EXPECT_FALSE(list.SetChecked(8, true, false));
    EXPECT_TRUE(list.Clear());
    EXPECT_EQ(list.GetCellRecord(7, 1), nullptr);
    EXPECT_EQ(list.GetNextSelectedRow(-1), -1);
}

}  // namespace
