#include "ui/lists.h"

#include <commctrl.h>

#include <cstring>

#include "drive/basiclist.h"
#include "res/resource.h"
#include "smart/attributerows.h"

namespace {

struct Column {
    const char* caption;  // empty: end of the table
    int width;
};

const Column kBasicColumns[] = {{"Item", 240}, {"Value", 240}, {"", 0}};
const Column kAttributeColumns[] = {{"ID", 30},   {"Attribute", 240}, {"Value", 44}, {"Worst", 44},
                                    {"Warn", 44}, {"Raw", 114},       {"Flag", 108}, {"", 0}};

enum AttributeColumn { ColumnId, ColumnName, ColumnValue, ColumnWorst, ColumnWarn, ColumnRaw, ColumnFlag };

void AddColumns(HWND list, const Column* columns) {
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, kListExtendedStyles);
    for (int i = 0; columns[i].caption[0] != '\0'; ++i) {
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = columns[i].width;
        column.pszText = const_cast<char*>(columns[i].caption);
        column.iSubItem = i;
        SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
}

int RowCount(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

void SetCell(HWND list, int row, int column, const char* text) {
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text);
    SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

void AddRow(HWND list, int row, const char* first) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<char*>(first);
    SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

// A list emptied and refilled as the user left it: redrawn once, the same
// row selected, scrolled to the same first row.
class Refill {
public:
    explicit Refill(HWND list)
        : list_(list),
          selected_(static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED))),
          top_(static_cast<int>(SendMessageA(list, LVM_GETTOPINDEX, 0, 0))) {
        SendMessageA(list_, WM_SETREDRAW, FALSE, 0);
        SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0);
    }
    ~Refill() {
        const int rows = RowCount(list_);
        if (selected_ >= 0 && selected_ < rows) {
            LVITEMA item = {};
            item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
            item.state = LVIS_SELECTED | LVIS_FOCUSED;
            SendMessageA(list_, LVM_SETITEMSTATE, selected_, reinterpret_cast<LPARAM>(&item));
        }
        if (top_ > 0 && top_ < rows) {
            RECT row = {};
            row.left = LVIR_BOUNDS;
            if (SendMessageA(list_, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row))) {
                SendMessageA(list_, LVM_SCROLL, 0, top_ * (row.bottom - row.top));
            }
        }
        SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list_, nullptr, TRUE);
    }
    Refill(const Refill&) = delete;
    Refill& operator=(const Refill&) = delete;

private:
    HWND list_;
    int selected_;
    int top_;
};

// Setting a cell to its own text still repaints it: only changes are set.
void UpdateCell(HWND list, int row, int column, const char* shown, const char* text) {
    if (std::strcmp(shown, text) != 0) SetCell(list, row, column, text);
}

void WriteValues(HWND list, int row, const AttributeRow& now, const AttributeRow& was) {
    UpdateCell(list, row, ColumnValue, was.value, now.value);
    UpdateCell(list, row, ColumnWorst, was.worst, now.worst);
    UpdateCell(list, row, ColumnWarn, was.warn, now.warn);
    UpdateCell(list, row, ColumnRaw, was.raw, now.raw);
    UpdateCell(list, row, ColumnFlag, was.flag, now.flag);
}

void FillAttributeList(HWND list, const AttributeRow* rows, DWORD count) {
    Refill refill(list);
    const AttributeRow none = {};
    for (DWORD k = 0; k < count; ++k) {
        const int row = static_cast<int>(k);
        AddRow(list, row, rows[k].id);
        SetCell(list, row, ColumnName, rows[k].name);
        WriteValues(list, row, rows[k], none);
    }
}

// The rows still name the drive's attributes, in the same order.
bool SameAttributes(const ShownAttributes& shown, const AttributeRow* rows, DWORD count) {
    if (shown.count != count) return false;
    for (DWORD k = 0; k < count; ++k) {
        if (std::strcmp(shown.rows[k].id, rows[k].id) != 0) return false;
    }
    return true;
}

void Remember(ShownAttributes& shown, const AttributeRow* rows, DWORD count) {
    std::memcpy(shown.rows, rows, count * sizeof rows[0]);
    shown.count = count;
}

}  // namespace

void SetupListColumns(HWND page) {
    AddColumns(GetDlgItem(page, IDC_BASIC_LIST), kBasicColumns);
    AddColumns(GetDlgItem(page, IDC_ATTRIBUTE_LIST), kAttributeColumns);
}

void FillLists(HWND page, const DriveInfo& drive, const AppSettings& settings, DWORD hideIdentity,
               ShownAttributes& shown) {
    BasicRow basic[kBasicRows];
    const DWORD basicCount = FillBasicRows(drive, hideIdentity, basic);
    if (basicCount != 0) {
        const HWND list = GetDlgItem(page, IDC_BASIC_LIST);
        Refill refill(list);
        for (DWORD k = 0; k < basicCount; ++k) {
            AddRow(list, static_cast<int>(k), basic[k].label);
            SetCell(list, static_cast<int>(k), 1, basic[k].value);
        }
    }
    AttributeRow rows[kAttributeEntries];
    const DWORD count = FillAttributeRows(drive, settings.View.Decimal, rows);
    if (count == 0) return;
    FillAttributeList(GetDlgItem(page, IDC_ATTRIBUTE_LIST), rows, count);
    Remember(shown, rows, count);
}

void UpdateAttributeValues(HWND page, const DriveInfo& drive, const AppSettings& settings, ShownAttributes& shown) {
    AttributeRow rows[kAttributeEntries];
    const DWORD count = FillAttributeRows(drive, settings.View.Decimal, rows);
    if (count == 0) return;
    const HWND list = GetDlgItem(page, IDC_ATTRIBUTE_LIST);
    if (SameAttributes(shown, rows, count)) {
        for (DWORD k = 0; k < count; ++k) WriteValues(list, static_cast<int>(k), rows[k], shown.rows[k]);
    } else {
        FillAttributeList(list, rows, count);
    }
    Remember(shown, rows, count);
}
