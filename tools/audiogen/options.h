// Track options of a score ("track NAME key value ..."), each read once; any left unread is a
// misspelling and stops the generator.
#pragma once
#include <set>
#include <string>

#include "tools/audiogen/score.h"

namespace audiogen {

class TrackOptions {
  public:
    TrackOptions(const Score& score, const Track& track) : score_(score), track_(track) {}
    bool Has(const std::string& key) const { return track_.options.count(key) != 0; }
    std::string Word(const std::string& key) {
        read_.insert(key);
        auto it = track_.options.find(key);
        if (it == track_.options.end()) score_.source.Fail(track_.line, "track needs '" + key + "'");
        return it->second;
    }
    double Number(const std::string& key, double lo, double hi, double fallback) {
        if (!Has(key)) return fallback;
        Line l{track_.line.number, {key, Word(key)}};
        double v = score_.source.Number(l, 1);
        if (v < lo || v > hi)
            score_.source.Fail(track_.line, "'" + key + "' lies between " + std::to_string(lo) + " and " +
                                                std::to_string(hi));
        return v;
    }
    void CheckAllRead() const {
        for (const auto& [key, value] : track_.options)
            if (!read_.count(key)) score_.source.Fail(track_.line, "unknown track option '" + key + "'");
    }

  private:
    const Score& score_;
    const Track& track_;
    std::set<std::string> read_;
};

}  // namespace audiogen
