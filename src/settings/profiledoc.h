// The parsed form of one profile file: sections of keys in file order, read
// and written the way the Windows profile functions read and write them.
#pragma once

#include <string>
#include <vector>

class ProfileDocument {
public:
    struct Key {
        std::string name;
        bool hasValue = false;  // a line without '=' keeps its text as name only
        std::string value;
    };
    struct Section {
        std::string name;  // empty for the keys before the first header
        std::vector<Key> keys;
    };

    // Parses the bytes of a file: lines end at any run of CR and LF, blanks
    // at either end of a line, name or value are dropped, empty lines vanish.
    void Load(const std::string& bytes);
    // The file's bytes: "[name]" headers and "name=value" lines, CRLF ended.
    std::string Save() const;

    // The first section of that name (blanks around the name ignored, letters
    // in any case) and its key of that name; null when either is missing.
    // Later sections of the same name are never searched, as on Windows.
    const Key* Find(const char* section, const char* key) const;

    // Sets a key's value (leading blanks dropped), creating the section and
    // the key as needed; appendAlways adds a new key even when one of that
    // name exists. Returns whether the document changed.
    bool Set(const char* section, const char* key, const char* value, bool appendAlways);

    // Deletes the first key of that exact name (any case) in a section of
    // that exact name. Returns whether a key was deleted.
    bool DeleteKey(const char* section, const char* key);
    // Deletes the first section of that exact name (any case).
    bool DeleteSection(const char* section);
    // Deletes every key of every section of that exact name (any case).
    bool DeleteAllKeys(const char* section);

    const std::vector<Section>& Sections() const { return sections_; }

private:
    Section* FindSection(const std::string& trimmedName);

    bool utf8Marker_ = false;
    std::vector<Section> sections_;
};

// Blanks of the profile functions: tab to carriage return, space, and the
// end-of-file mark 0x1A that old files carry.
bool IsProfileBlank(char c);
