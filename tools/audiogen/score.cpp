#include "tools/audiogen/score.h"

#include <cctype>

namespace audiogen {

namespace {

// Tokens of one track inside one section, in the order written.
struct Part {
    size_t track;
    std::vector<std::pair<Line, std::vector<std::string>>> lines;
};

struct Section {
    std::string name;
    Line line;
    std::vector<Part> parts;
};

bool ParseKey(const std::string& text, int& key) {
    static const int semitone[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (text.size() < 2 || text[0] < 'A' || text[0] > 'G') return false;
    int k = semitone[text[0] - 'A'];
    size_t i = 1;
    if (text[i] == '#') {
        ++k;
        ++i;
    } else if (text[i] == 'b') {
        --k;
        ++i;
    }
    if (i + 1 != text.size() || !std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    key = 12 * (text[i] - '0' + 1) + k;
    return key >= 0 && key <= 127;
}

bool IsName(const std::string& text) {
    if (text.empty()) return false;
    for (char c : text)
        if (!std::islower(static_cast<unsigned char>(c)) && !std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

}  // namespace

Score::Score(const std::string& path) : source(path) {
    std::vector<Section> sections;
    std::map<std::string, size_t> trackIndex, sectionIndex;
    std::vector<std::pair<Line, bool>> orders;  // a play or loop line; true for loop
    enum { kHeader, kInstrument, kSection } state = kHeader;

    for (const Line& line : source.Lines()) {
        const std::string& key = line.words[0];
        if (key == "instrument") {
            source.Arguments(line, 1, 1);
            instruments.push_back({line.words[1], {}, line});
            state = kInstrument;
        } else if (key == "track") {
            if (line.words.size() < 2) source.Fail(line, "a track needs a name");
            Track t;
            t.name = line.words[1];
            t.line = line;
            size_t i = 2;
            if (i < line.words.size() && line.words[i] == "kit") {
                t.kit = true;
                ++i;
            }
            if ((line.words.size() - i) % 2) source.Fail(line, "track options come as key value pairs");
            for (; i < line.words.size(); i += 2) t.options[line.words[i]] = line.words[i + 1];
            if (!trackIndex.emplace(t.name, tracks.size()).second)
                source.Fail(line, "track '" + t.name + "' declared twice");
            tracks.push_back(t);
            state = kHeader;
        } else if (key == "section") {
            source.Arguments(line, 1, 1);
            if (!sectionIndex.emplace(line.words[1], sections.size()).second)
                source.Fail(line, "section '" + line.words[1] + "' written twice");
            sections.push_back({line.words[1], line, {}});
            state = kSection;
        } else if (key == "play" || key == "loop") {
            if (line.words.size() < 2) source.Fail(line, "'" + key + "' lists the sections to play");
            orders.emplace_back(line, key == "loop");
            state = kHeader;
        } else if (state == kInstrument) {
            instruments.back().lines.push_back(line);
        } else if (state == kSection) {
            if (key.size() < 2 || key.back() != ':') source.Fail(line, "expected 'track: notes'");
            auto t = trackIndex.find(key.substr(0, key.size() - 1));
            if (t == trackIndex.end()) source.Fail(line, "no track '" + key.substr(0, key.size() - 1) + "'");
            Section& s = sections.back();
            Part* part = nullptr;
            for (Part& p : s.parts)
                if (p.track == t->second) part = &p;
            if (!part) {
                s.parts.push_back({t->second, {}});
                part = &s.parts.back();
            }
            part->lines.emplace_back(line,
                                     std::vector<std::string>(line.words.begin() + 1, line.words.end()));
        } else {
            if (!header.emplace(key, line).second) source.Fail(line, "'" + key + "' given twice");
        }
    }

    auto headerInt = [&](const char* key, long lo, long hi, long fallback) {
        auto it = header.find(key);
        if (it == header.end()) return fallback;
        source.Arguments(it->second, 1, 1);
        return source.Integer(it->second, 1, lo, hi);
    };
    tempo = headerInt("tempo", 20, 400, tempo);
    beats = headerInt("beats", 1, 16, beats);
    steps = headerInt("steps", 1, 24, steps);
    const long bar = beats * steps;

    // Each section's notes, relative to its start, and its length.
    std::vector<std::vector<Note>> sectionNotes(sections.size());
    std::vector<long> sectionLength(sections.size(), -1);
    for (size_t si = 0; si < sections.size(); ++si) {
        for (const Part& part : sections[si].parts) {
            const Track& track = tracks[part.track];
            long at = 0;
            for (const auto& [line, tokens] : part.lines) {
                long length = 0, barStart = at;
                auto endBar = [&, &line = line]() {
                    if (at - barStart != bar)
                        source.Fail(line, "a bar of " + std::to_string(at - barStart) + " steps, not " +
                                              std::to_string(bar));
                    barStart = at;
                };
                for (const std::string& token : tokens) {
                    if (token == "|") {
                        endBar();
                        continue;
                    }
                    std::string what = token;
                    int velocity = -1;
                    size_t atSign = what.find('@');
                    if (atSign != std::string::npos) {
                        Line v{line.number, {"", what.substr(atSign + 1)}};
                        velocity = static_cast<int>(source.Integer(v, 1, 1, 127));
                        what.resize(atSign);
                    }
                    size_t slash = what.find('/');
                    if (slash != std::string::npos) {
                        Line v{line.number, {"", what.substr(slash + 1)}};
                        length = source.Integer(v, 1, 1, 64 * bar);
                        what.resize(slash);
                    }
                    if (length == 0)
                        source.Fail(line, "'" + token + "': the first note of a line needs /steps");
                    if (what != "r") {
                        size_t from = 0;
                        while (from <= what.size()) {
                            size_t plus = what.find('+', from);
                            if (plus == std::string::npos) plus = what.size();
                            std::string item = what.substr(from, plus - from);
                            Note n;
                            n.track = part.track;
                            n.step = at;
                            n.length = length;
                            if (velocity > 0) n.velocity = velocity;
                            if (track.kit) {
                                if (!IsName(item)) source.Fail(line, "'" + item + "' is not a drum name");
                                n.drum = item;
                            } else if (!ParseKey(item, n.key)) {
                                source.Fail(line, "'" + item + "' is not a note such as C4, F#3 or Bb2");
                            }
                            sectionNotes[si].push_back(n);
                            from = plus + 1;
                        }
                    }
                    at += length;
                }
                if (at != barStart) endBar();
            }
            if (sectionLength[si] >= 0 && sectionLength[si] != at)
                source.Fail(part.lines.front().first,
                            "track '" + track.name + "' lasts " + std::to_string(at) + " steps in section '" +
                                sections[si].name + "', others " + std::to_string(sectionLength[si]));
            sectionLength[si] = at;
        }
        if (sectionLength[si] <= 0)
            source.Fail(sections[si].line, "section '" + sections[si].name + "' is empty");
    }

    bool looping = false;
    long at = 0;
    for (const auto& [line, loop] : orders) {
        if (looping && !loop) source.Fail(line, "'play' comes before 'loop'");
        looping = loop;
        for (size_t i = 1; i < line.words.size(); ++i) {
            auto s = sectionIndex.find(line.words[i]);
            if (s == sectionIndex.end()) source.Fail(line, "no section '" + line.words[i] + "'");
            for (Note n : sectionNotes[s->second]) {
                n.step += at;
                notes.push_back(n);
            }
            at += sectionLength[s->second];
            (loop ? loopSteps : playSteps) += sectionLength[s->second];
        }
    }
    if (at == 0) source.Fail(source.Lines().empty() ? Line{} : source.Lines().back(), "nothing to play");
}

}  // namespace audiogen
