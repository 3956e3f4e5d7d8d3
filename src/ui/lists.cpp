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

// Setting a cell to its own text still repaints it: only changes are set.
void UpdateCell(HWND list, int row, int column, const char* text) {
    char shown[64] = "";
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = shown;
    item.cchTextMax = sizeof shown;
    SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    if (std::strcmp(shown, text) != 0) SetCell(list, row, column, text);
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

void WriteValues(HWND list, const AttributeRow* rows, DWORD count) {
    for (DWORD k = 0; k < count; ++k) {
        const int row = static_cast<int>(k);
        UpdateCell(list, row, ColumnValue, rows[k].value);
        UpdateCell(list, row, ColumnWorst, rows[k].worst);
        UpdateCell(list, row, ColumnWarn, rows[k].warn);
        UpdateCell(list, row, ColumnRaw, rows[k].raw);
        UpdateCell(list, row, ColumnFlag, rows[k].flag);
    }
}

void FillAttributeList(HWND list, const AttributeRow* rows, DWORD count) {
    Refill refill(list);
    for (DWORD k = 0; k < count; ++k) {
        AddRow(list, static_cast<int>(k), rows[k].id);
        SetCell(list, static_cast<int>(k), ColumnName, rows[k].name);
    }
    WriteValues(list, rows, count);
}

// The rows still name the drive's attributes, in the same order.
bool SameAttributes(HWND list, const AttributeRow* rows, DWORD count) {
    if (RowCount(list) != static_cast<int>(count)) return false;
    for (DWORD k = 0; k < count; ++k) {
        char id[sizeof rows[0].id] = "";
        LVITEMA item = {};
        item.iSubItem = ColumnId;
        item.pszText = id;
        item.cchTextMax = sizeof id;
        SendMessageA(list, LVM_GETITEMTEXTA, k, reinterpret_cast<LPARAM>(&item));
        if (std::strcmp(id, rows[k].id) != 0) return false;
    }
    return true;
}

}  // namespace

void SetupListColumns(HWND page) {
    AddColumns(GetDlgItem(page, IDC_BASIC_LIST), kBasicColumns);
    AddColumns(GetDlgItem(page, IDC_ATTRIBUTE_LIST), kAttributeColumns);
}

void FillLists(HWND page, const DriveInfo& drive, const AppSettings& settings, DWORD hideIdentity) {
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
    const HWND list = GetDlgItem(page, IDC_ATTRIBUTE_LIST);
    FillAttributeList(list, rows, count);
}

void UpdateAttributeValues(HWND page, const DriveInfo& drive, const AppSettings& settings) {
    AttributeRow rows[kAttributeEntries];
    const DWORD count = FillAttributeRows(drive, settings.View.Decimal, rows);
    if (count == 0) return;
    const HWND list = GetDlgItem(page, IDC_ATTRIBUTE_LIST);
    if (SameAttributes(list, rows, count)) {
        WriteValues(list, rows, count);
    } else {
        FillAttributeList(list, rows, count);
    }
}
