// Decodes every picture of the public BMP test suite and compares status, message and the
// SHA-256 of the pixels with the suite's table of expected results.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "dib.h"
#include "sha256_hex.h"

namespace {

struct Row {
    std::string file;
    std::string status;  // ok, refuse or undefined
    std::string width;
    std::string height;
    std::string sha256;
    std::string message;
    std::string choice;  // "-", "top-down" or "bitfields": refusing is allowed there
};

std::vector<Row> readExpected(const std::filesystem::path& tsv) {
    std::vector<Row> rows;
    std::ifstream in(tsv);
    std::string line;
    std::getline(in, line);  // column names
    while (std::getline(in, line)) {
        std::vector<std::string> f;
        std::stringstream fields(line);
        for (std::string cell; std::getline(fields, cell, '\t');) {
            f.push_back(cell);
        }
        if (f.size() == 7) {
            rows.push_back({f[0], f[1], f[2], f[3], f[4], f[5], f[6]});
        }
    }
    return rows;
}

TEST(BmpSuite, EveryPictureDecodesAsExpected) {
    const std::filesystem::path dir = VANTU_BMPSUITE_DIR;
    ASSERT_TRUE(std::filesystem::exists(dir / "EXPECTED.tsv")) << "no " << dir.string();
    const std::vector<Row> rows = readExpected(dir / "EXPECTED.tsv");
    ASSERT_GE(rows.size(), 80u);
    int decoded = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.file);
        std::ifstream in(dir / row.file, std::ios::binary);
        ASSERT_TRUE(in) << "cannot read " << row.file;
        const std::vector<char> raw{std::istreambuf_iterator<char>(in),
                                    std::istreambuf_iterator<char>()};
        // An exact-size heap copy, so that AddressSanitizer sees any read past the end.
        auto bytes = std::make_unique<std::uint8_t[]>(raw.size());
        std::copy(raw.begin(), raw.end(), bytes.get());
        const DibResult r = decodeDib({bytes.get(), raw.size()});
        const std::string error = r.error ? r.error : "";
        if (row.status == "ok" && r.image == nullptr && row.choice != "-") {
            EXPECT_EQ(error, kDibConversionErrorMessage);
        } else if (row.status == "ok") {
            ASSERT_NE(r.image, nullptr) << error;
            EXPECT_EQ(std::to_string(r.image->width), row.width);
            EXPECT_EQ(std::to_string(r.image->height), row.height);
            const std::size_t size = static_cast<std::size_t>(r.image->width) *
                                     static_cast<std::size_t>(std::abs(r.image->height)) * 3;
            EXPECT_EQ(sha256Hex({r.image->pixels, size}), row.sha256);
            ++decoded;
        } else if (row.status == "refuse") {
            EXPECT_EQ(r.image, nullptr);
            EXPECT_EQ(error, row.message);
        } else {
            EXPECT_EQ(row.status, "undefined");
        }
        freeRgbImage(r.image);
    }
    // Top-down and bit-field pictures are taken too, not only allowed to be refused.
    EXPECT_EQ(decoded, 55);
}

TEST(Sha256, KnownDigests) {
    const std::string abc = "abc";
    EXPECT_EQ(sha256Hex({}), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(sha256Hex({reinterpret_cast<const std::uint8_t*>(abc.data()), abc.size()}),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

}  // namespace
