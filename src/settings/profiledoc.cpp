#include "settings/profiledoc.h"

#include <cstring>

namespace {

const char kUtf8Marker[] = "\xEF\xBB\xBF";

char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(const std::string& a, const char* b, size_t length) {
    if (a.size() != length) return false;
    for (size_t i = 0; i < length; ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    }
    return true;
}

bool SameName(const std::string& a, const char* b) { return SameName(a, b, std::strlen(b)); }

// A name as the lookup sees it: leading and trailing blanks removed.
struct TrimmedName {
    const char* start;
    size_t length;
};

TrimmedName Trim(const char* name) {
    while (IsProfileBlank(*name)) ++name;
    size_t length = std::strlen(name);
    while (length > 0 && IsProfileBlank(name[length - 1])) --length;
    return {name, length};
}

const char* SkipBlanks(const char* text) {
    while (IsProfileBlank(*text)) ++text;
    return text;
}

// The text of a parsed range up to its first NUL byte: the platform keeps
// names and values as C strings, so nothing after a NUL survives.
std::string CString(const char* start, const char* end) {
    const void* nul = std::memchr(start, '\0', static_cast<size_t>(end - start));
    return std::string(start, nul ? static_cast<const char*>(nul) : end);
}

}  // namespace

bool IsProfileBlank(char c) { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == 0x20; }

void ProfileDocument::Load(const std::string& bytes) {
    sections_.clear();
    utf8Marker_ = false;
    if (bytes.empty()) return;

    const char* p = bytes.data();
    const char* end = p + bytes.size();
    if (bytes.compare(0, 3, kUtf8Marker) == 0) {
        utf8Marker_ = true;
        p += 3;
    }

    sections_.push_back(Section());
    bool afterEmptyName = false;  // the last key of this section had no name
    bool afterKey = false;
    while (p < end) {
        const char* start = p;
        while (p < end && *p != '\n' && *p != '\r') ++p;
        const char* lineEnd = p;
        while (p < end && (*p == '\n' || *p == '\r')) ++p;

        while (start < lineEnd && IsProfileBlank(*start)) ++start;
        while (lineEnd > start && IsProfileBlank(lineEnd[-1])) --lineEnd;
        if (start >= lineEnd) continue;

        if (*start == '[') {
            const char* close = lineEnd;
            while (close > start && close[-1] != ']') --close;
            if (close > start) {
                // Header: the text between '[' and the last ']', trimmed.
                const char* nameStart = start + 1;
                const char* nameEnd = close - 1;
                while (nameStart < nameEnd && IsProfileBlank(*nameStart)) ++nameStart;
                while (nameEnd > nameStart && IsProfileBlank(nameEnd[-1])) --nameEnd;
                sections_.push_back(Section());
                sections_.back().name = CString(nameStart, nameEnd);
                afterKey = false;
                continue;
            }
            // No closing bracket: an ordinary line.
        }

        Key key;
        const char* equals = static_cast<const char*>(std::memchr(start, '=', static_cast<size_t>(lineEnd - start)));
        const char* nameEnd = lineEnd;
        if (equals) {
            nameEnd = equals;
            while (nameEnd > start && IsProfileBlank(nameEnd[-1])) --nameEnd;
            const char* valueStart = equals + 1;
            while (valueStart < lineEnd && IsProfileBlank(*valueStart)) ++valueStart;
            key.hasValue = true;
            key.value = CString(valueStart, lineEnd);
        }
        key.name = CString(start, nameEnd);
        // Runs of lines with empty names ("=x") collapse to their first.
        if (!key.name.empty() || !afterKey || !afterEmptyName) {
            afterKey = true;
            afterEmptyName = key.name.empty();
            sections_.back().keys.push_back(key);
        }
    }
}

std::string ProfileDocument::Save() const {
    std::string out;
    if (utf8Marker_) out += kUtf8Marker;
    for (const Section& section : sections_) {
        if (!section.name.empty()) out += "[" + section.name + "]\r\n";
        for (const Key& key : section.keys) {
            out += key.name;
            if (key.hasValue) out += "=" + key.value;
            out += "\r\n";
        }
    }
    return out;
}

const ProfileDocument::Key* ProfileDocument::Find(const char* section, const char* key) const {
    const TrimmedName sectionName = Trim(section);
    const TrimmedName keyName = Trim(key);
    for (const Section& s : sections_) {
        if (!SameName(s.name, sectionName.start, sectionName.length)) continue;
        for (const Key& k : s.keys) {
            if (SameName(k.name, keyName.start, keyName.length)) return &k;
        }
        return nullptr;
    }
    return nullptr;
}

ProfileDocument::Section* ProfileDocument::FindSection(const std::string& trimmedName) {
    for (Section& s : sections_) {
        if (SameName(s.name, trimmedName.c_str(), trimmedName.size())) return &s;
    }
    return nullptr;
}

bool ProfileDocument::Set(const char* section, const char* key, const char* value, bool appendAlways) {
    const TrimmedName sectionName = Trim(section);
    const TrimmedName keyName = Trim(key);
    Section* target = FindSection(std::string(sectionName.start, sectionName.length));
    if (target == nullptr) {
        // New names keep their trailing blanks, as the platform stores them.
        sections_.push_back(Section());
        target = &sections_.back();
        target->name = SkipBlanks(section);
    }
    Key* found = nullptr;
    if (!appendAlways) {
        for (Key& k : target->keys) {
            if (SameName(k.name, keyName.start, keyName.length)) {
                found = &k;
                break;
            }
        }
    }
    if (found == nullptr) {
        target->keys.push_back(Key());
        found = &target->keys.back();
        found->name = SkipBlanks(key);
    }

    const char* text = SkipBlanks(value);
    if (found->hasValue && found->value == text) return false;
    found->hasValue = true;
    found->value = text;
    return true;
}

bool ProfileDocument::DeleteKey(const char* section, const char* key) {
    for (Section& s : sections_) {
        if (!SameName(s.name, section)) continue;
        for (auto k = s.keys.begin(); k != s.keys.end(); ++k) {
            if (SameName(k->name, key)) {
                s.keys.erase(k);
                return true;
            }
        }
    }
    return false;
}

bool ProfileDocument::DeleteSection(const char* section) {
    for (auto s = sections_.begin(); s != sections_.end(); ++s) {
        if (SameName(s->name, section)) {
            sections_.erase(s);
            return true;
        }
    }
    return false;
}

bool ProfileDocument::DeleteAllKeys(const char* section) {
    bool changed = false;
    for (Section& s : sections_) {
        if (SameName(s.name, section) && !s.keys.empty()) {
            s.keys.clear();
            changed = true;
        }
    }
    return changed;
}
