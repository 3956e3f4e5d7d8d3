#include "base/abouttext.h"

#include <gtest/gtest.h>

#include <string>

namespace {

AboutFields Sample() {
    AboutFields fields;
    fields.description = "Veldakor disk monitor";
    fields.fileVersion = "2.0.1.7";
    fields.legalCopyright = "Copyright (C) 2024 Someone";
    fields.libpngVersion = "1.6.39";
    fields.zlibVersion = "1.2.13";
    return fields;
}

TEST(AboutText, LaysOutTheFieldsInOrder) {
    EXPECT_EQ(
        "Veldakor disk monitor (" + std::string(ABOUT_PLATFORM) + ")\r\n"
        "Version 2.0.1.7\r\n"
        "\r\n"
        "Copyright (C) 2024 Someone\r\n"
        "\r\n"
        "LIBPNG Version 1.6.39\r\n"
        "ZLIB Version 1.2.13\r\n"
        "Icons and status pictures: drawn for Veldakor\r\n"
        "Artwork sources: res/art in the Veldakor sources",
        FormatAboutText(Sample()));
}

TEST(AboutText, FieldsAreTakenLiterally) {
    AboutFields fields = Sample();
    fields.description = "100% %s %n";
    fields.legalCopyright = "";
    fields.zlibVersion = nullptr;
    const std::string text = FormatAboutText(fields);
    EXPECT_EQ(0u, text.find("100% %s %n (" + std::string(ABOUT_PLATFORM) + ")\r\n"));
    EXPECT_NE(std::string::npos, text.find("\r\n\r\n\r\n\r\nLIBPNG Version 1.6.39\r\nZLIB Version \r\nIcons"));
}

TEST(AboutText, LongValuesAreCutToTheBufferWithoutLosingTheStart) {
    const std::string longLegal(3000, 'L');
    AboutFields fields = Sample();
    fields.legalCopyright = longLegal.c_str();
    const std::string text = FormatAboutText(fields);
    ASSERT_EQ(ABOUT_TEXT_SIZE - 1, text.size());
    const std::string head = "Veldakor disk monitor (" + std::string(ABOUT_PLATFORM) + ")\r\nVersion 2.0.1.7\r\n\r\n";
    EXPECT_EQ(head, text.substr(0, head.size()));
    EXPECT_EQ(std::string(text.size() - head.size(), 'L'), text.substr(head.size()));

    // Just fitting is not cut.
    AboutFields fitting = Sample();
    fitting.legalCopyright = "";
    const std::size_t rest = FormatAboutText(fitting).size();
    const std::string exact(ABOUT_TEXT_SIZE - 1 - rest, 'E');
    fitting.legalCopyright = exact.c_str();
    const std::string full = FormatAboutText(fitting);
    EXPECT_EQ(ABOUT_TEXT_SIZE - 1, full.size());
    EXPECT_EQ(std::string(ABOUT_CREDIT_ARTWORK), full.substr(full.size() - std::string(ABOUT_CREDIT_ARTWORK).size()));
}

}  // namespace
