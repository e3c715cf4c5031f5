// contentgen: writes the default content into the program folder, or review pictures.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "tools/contentgen/content.h"
#include "tools/contentgen/icon.h"
#include "tools/contentgen/preview.h"

namespace {

void Usage() {
    std::fprintf(stderr,
                 "usage: contentgen --assets DIR --out PROGRAM_DIR\n"
                 "       contentgen --assets DIR --contact-sheet FILE.bmp\n"
                 "       contentgen --assets DIR --room-preview DIR\n"
                 "       contentgen --assets DIR --icons DIR   (DIR/NxN/apps/milkanet.png)\n");
}

}  // namespace

int main(int argc, char** argv) {
    std::string assets, out, contact, rooms, icons;
    for (int i = 1; i < argc; ++i) {
        auto next = [&]() -> std::string {
            if (i + 1 >= argc) {
                Usage();
                std::exit(2);
            }
            return argv[++i];
        };
        if (!std::strcmp(argv[i], "--assets"))
            assets = next();
        else if (!std::strcmp(argv[i], "--out"))
            out = next();
        else if (!std::strcmp(argv[i], "--contact-sheet"))
            contact = next();
        else if (!std::strcmp(argv[i], "--room-preview"))
            rooms = next();
        else if (!std::strcmp(argv[i], "--icons"))
            icons = next();
        else {
            Usage();
            return 2;
        }
    }
    if (assets.empty() || (out.empty() && contact.empty() && rooms.empty() && icons.empty())) {
        Usage();
        return 2;
    }
    try {
        contentgen::Content content = contentgen::BuildContent(assets);
        if (!out.empty()) contentgen::WriteContent(content, out);
        if (!contact.empty()) contentgen::WriteContactSheet(content, contact);
        if (!rooms.empty()) contentgen::WriteRoomPreviews(content, rooms);
        if (!icons.empty()) contentgen::WriteIcons(content, icons);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "contentgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
