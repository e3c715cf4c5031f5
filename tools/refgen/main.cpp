// refgen: man pages and HTML from the reference's facility files, and the check that every public
// function of the headers has its entry.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "header_scan.h"
#include "reference.h"
#include "writers.h"

namespace fs = std::filesystem;

namespace {

const char* kUsage =
    "usage: refgen generate REFERENCE_DIR OUT_DIR [INCLUDE_DIR]   man pages into OUT_DIR/man3, HTML into\n"
    "                OUT_DIR/html; with INCLUDE_DIR each synopsis includes the header declaring it\n"
    "       refgen check REFERENCE_DIR INCLUDE_DIR   every public function of INCLUDE_DIR/*.h has an entry\n";

bool ReadFile(const fs::path& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    text = buffer.str();
    return true;
}

bool WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) std::cerr << "refgen: cannot write " << path.string() << "\n";
    return static_cast<bool>(out);
}

std::vector<fs::path> Files(const fs::path& folder, const std::string& extension) {
    std::vector<fs::path> files;
    std::error_code error;
    for (const auto& item : fs::directory_iterator(folder, error))
        if (item.is_regular_file() && item.path().extension() == extension) files.push_back(item.path());
    std::sort(files.begin(), files.end());
    return files;
}

// Every facility file of the folder (README.md describes the format and is no facility).
bool ReadReference(const fs::path& folder, std::vector<refgen::Facility>& facilities) {
    std::vector<std::string> errors;
    for (const fs::path& file : Files(folder, ".md")) {
        if (file.filename() == "README.md") continue;
        std::string text;
        if (!ReadFile(file, text)) {
            errors.push_back(file.string() + ": cannot read");
            continue;
        }
        facilities.push_back(refgen::ParseFacility(text, file.stem().string(), errors));
    }
    if (facilities.empty()) errors.push_back(folder.string() + ": no facility files");
    for (const std::string& e : errors) std::cerr << "refgen: " << e << "\n";
    return errors.empty();
}

// Reads every header of the folder into `declared`; false (said on standard error) when one cannot
// be read or is unbalanced.
bool ReadHeaders(const fs::path& include, refgen::Declarations& declared, size_t& count) {
    const std::vector<fs::path> headers = Files(include, ".h");
    count = headers.size();
    if (headers.empty()) {
        std::cerr << "refgen: no headers in " << include.string() << "\n";
        return false;
    }
    bool ok = true;
    for (const fs::path& header : headers) {
        std::string text;
        if (!ReadFile(header, text)) {
            std::cerr << "refgen: cannot read " << header.string() << "\n";
            ok = false;
            continue;
        }
        // Locations name the header as it is included: el/draw.h.
        std::string problem = refgen::ScanHeader(text, "el/" + header.filename().string(), declared);
        if (!problem.empty()) {
            std::cerr << "refgen: " << problem << "\n";
            ok = false;
        }
    }
    return ok;
}

int Generate(const fs::path& reference, const fs::path& out, const fs::path* include) {
    std::vector<refgen::Facility> facilities;
    if (!ReadReference(reference, facilities)) return 1;
    refgen::HeaderMap headers;
    if (include != nullptr) {
        refgen::Declarations declared;
        size_t count = 0;
        if (!ReadHeaders(*include, declared, count)) return 1;
        headers = refgen::HeadersOf(declared);
    }
    const fs::path man = out / "man3";
    const fs::path html = out / "html";
    std::error_code error;
    fs::create_directories(man, error);
    fs::create_directories(html, error);
    for (const fs::path& stale : Files(man, ".3")) fs::remove(stale, error);
    int pages = 0;
    bool ok = true;
    for (const refgen::Facility& f : facilities) {
        ok = WriteFile(man / (refgen::FacilityPageName(f) + ".3"), refgen::FacilityManPage(f, facilities)) &&
             ok;
        ++pages;
        for (const refgen::Entry& e : f.entries) {
            for (const std::string& name : e.names) {
                ok = WriteFile(man / (refgen::PageName(name) + ".3"), refgen::ManPage(f, e, name, headers)) &&
                     ok;
                ++pages;
            }
        }
    }
    ok = WriteFile(html / "index.html", refgen::HtmlReference(facilities, headers)) && ok;
    std::cout << "refgen: " << pages << " man pages in " << man.string() << ", "
              << (html / "index.html").string() << "\n";
    return ok ? 0 : 1;
}

int CheckHeaders(const fs::path& reference, const fs::path& include) {
    std::vector<refgen::Facility> facilities;
    const bool parsed = ReadReference(reference, facilities);
    refgen::Declarations declared;
    size_t headerCount = 0;
    const bool ok = ReadHeaders(include, declared, headerCount) && parsed;
    const std::vector<std::string> problems = refgen::Check(facilities, declared);
    for (const std::string& p : problems) std::cerr << p << "\n";
    size_t entries = 0;
    for (const refgen::Facility& f : facilities)
        for (const refgen::Entry& e : f.entries) entries += e.names.size();
    // Named constants are not operations: the ones without an entry are noted, not counted as problems.
    for (const std::string& name : refgen::UndocumentedConstants(facilities, declared))
        std::cout << "note: constants without an entry: " << name << "\n";
    std::cout << "refgen: " << declared.operations.size() << " public functions in " << headerCount
              << " headers, " << entries << " documented names, " << problems.size() << " problems\n";
    return ok && problems.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "generate" && (argc == 4 || argc == 5)) {
        const fs::path include = argc == 5 ? argv[4] : "";
        return Generate(argv[2], argv[3], argc == 5 ? &include : nullptr);
    }
    if (command == "check" && argc == 4) return CheckHeaders(argv[2], argv[3]);
    std::cerr << kUsage;
    return 2;
}
