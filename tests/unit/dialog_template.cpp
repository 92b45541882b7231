#include "dialog_template.h"

#include "../common/program_resources.h"

#include <string.h>

namespace {

// Walks a template: WORD-aligned records, DWORD-aligned items, UTF-16 strings.
class Reader {
  public:
    explicit Reader(const BYTE* data) : start(data), at(data) {}
    WORD Word() {
        WORD v;
        memcpy(&v, at, 2);
        at += 2;
        return v;
    }
    DWORD Dword() {
        DWORD v;
        memcpy(&v, at, 4);
        at += 4;
        return v;
    }
    short Short() { return static_cast<short>(Word()); }
    BYTE Byte() { return *at++; }
    void AlignDword() {
        while ((at - start) % 4) ++at;
    }

    // A string, an ordinal (0xFFFF then a WORD) or nothing (a single zero WORD).
    std::string StringOrOrdinal() {
        WORD first;
        memcpy(&first, at, 2);
        if (first == 0xFFFF) {
            at += 2;
            return "#" + std::to_string(Word());
        }
        return String();
    }
    std::string String() {
        std::wstring wide;
        for (WORD c; (c = Word()) != 0;) wide += static_cast<wchar_t>(c);
        char narrow[512] = "";
        WideCharToMultiByte(936, 0, wide.c_str(), -1, narrow, sizeof narrow, nullptr, nullptr);
        return narrow;
    }

  private:
    const BYTE* start;
    const BYTE* at;
};

std::string PredefinedClass(const std::string& name) {
    static const struct {
        const char* atom;
        const char* name;
    } kAtoms[] = {
        {"#128", "BUTTON"},  {"#129", "EDIT"},      {"#130", "STATIC"},
        {"#131", "LISTBOX"}, {"#132", "SCROLLBAR"}, {"#133", "COMBOBOX"},
    };
    for (const auto& atom : kAtoms)
        if (name == atom.atom) return atom.name;
    return name;
}

void ReadItem(Reader& in, bool extended, DialogItem* item) {
    in.AlignDword();
    if (extended) {
        in.Dword(); // help id
        item->exStyle = in.Dword();
        item->style = in.Dword();
    } else {
        item->style = in.Dword();
        item->exStyle = in.Dword();
    }
    item->x = in.Short();
    item->y = in.Short();
    item->cx = in.Short();
    item->cy = in.Short();
    item->id = extended ? static_cast<int>(in.Dword()) : in.Short();
    item->className = PredefinedClass(in.StringOrOrdinal());
    item->text = in.StringOrOrdinal();
    const WORD extra = in.Word();
    for (WORD i = 0; i < extra; ++i) in.Byte();
}

void Parse(const BYTE* data, DialogTemplate* dialog) {
    Reader in(data);
    WORD count;
    if (in.Word() == 1 && in.Word() == 0xFFFF) {
        dialog->extended = true;
        in.Dword(); // help id
        dialog->exStyle = in.Dword();
        dialog->style = in.Dword();
    } else {
        in = Reader(data);
        dialog->style = in.Dword();
        dialog->exStyle = in.Dword();
    }
    count = in.Word();
    in.Short(); // x
    in.Short(); // y
    dialog->cx = in.Short();
    dialog->cy = in.Short();
    in.StringOrOrdinal(); // menu
    in.StringOrOrdinal(); // class
    dialog->title = in.String();
    if (dialog->style & DS_SETFONT) {
        dialog->pointSize = in.Word();
        if (dialog->extended) {
            dialog->weight = in.Word();
            dialog->italic = in.Byte();
            dialog->charset = in.Byte();
        }
        dialog->font = in.String();
    }
    dialog->items.resize(count);
    for (DialogItem& item : dialog->items) ReadItem(in, dialog->extended, &item);
}

} // namespace

bool LoadDialogTemplate(int id, DialogTemplate* dialog) {
    ProgramResources program;
    const BYTE* data = program.Find(RT_DIALOG, id);
    if (data) Parse(data, dialog);
    return data != nullptr;
}
