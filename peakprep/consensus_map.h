// The replicate map of "Replicate consensus" and the groups it makes of a
// class table's rows.
//
// The map is a text file of lines "sample<TAB>group" (any line end; blank
// lines are skipped).  A sample the map does not list is a group of its
// own, named after the sample.
#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "datafile/textline.h"

struct MapEntry {
    std::string sample, group;
    long long line = 0;  // from 1
};

// Reads the map's lines into entries.  False with error set (naming the
// line) for a line without a tab, with an empty sample or group, with a
// second tab, or too long, and for a sample given two different groups.
inline bool readreplicatemap(std::FILE* f, std::vector<MapEntry>& entries, std::string& error) {
    const std::size_t kMax = 4096;
    std::map<std::string, std::size_t> seen;  // sample -> its entry
    std::string line;
    bool ended = false;
    for (long long n = 1; readtextline(f, line, &ended, kMax + 1); ++n) {
        const std::string at = "replicate map line " + std::to_string(n);
        if (line.size() > kMax) {
            error = at + " is longer than 4096 characters";
            return false;
        }
        if (n == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);  // a UTF-8 mark of some editors
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos) {
            error = at + " has no tab between the sample name and the group";
            return false;
        }
        MapEntry e{line.substr(0, tab), line.substr(tab + 1), n};
        if (e.group.find('\t') != std::string::npos) {
            error = at + " has more than one tab (a line is: sample name, a tab, group)";
            return false;
        }
        if (e.sample.empty() || e.group.empty()) {
            error = at + (e.sample.empty() ? " has no sample name" : " has no group");
            return false;
        }
        auto it = seen.find(e.sample);
        if (it != seen.end()) {
            const MapEntry& first = entries[it->second];
            if (first.group != e.group) {
                error = at + " gives sample " + e.sample + " a second group (line " + std::to_string(first.line) +
                        " gives it " + first.group + ")";
                return false;
            }
            continue;
        }
        seen[e.sample] = entries.size();
        entries.push_back(e);
    }
    return true;
}

struct ReplicateGroup {
    std::string name;
    std::vector<int> rows;  // table rows (from 0), in table order
};

// The groups of rows samples (the name of each row), in the order of their
// first row; absent gets the map's entries that name no row.  Every row of
// a listed sample name joins that sample's group.
inline std::vector<ReplicateGroup> groupreplicates(const std::vector<std::string>& samples,
                                                   const std::vector<MapEntry>& entries,
                                                   std::vector<MapEntry>& absent) {
    std::map<std::string, std::size_t> group_of;  // sample -> entry
    for (std::size_t i = 0; i < entries.size(); ++i) group_of[entries[i].sample] = i;
    std::vector<char> used(entries.size(), 0);
    std::map<std::string, std::size_t> slot;  // map group name -> group
    std::vector<ReplicateGroup> groups;
    for (std::size_t r = 0; r < samples.size(); ++r) {
        auto it = group_of.find(samples[r]);
        std::size_t g = groups.size();
        if (it == group_of.end()) {
            groups.push_back({samples[r], {}});
        } else {
            used[it->second] = 1;
            const std::string& name = entries[it->second].group;
            auto s = slot.find(name);
            if (s == slot.end()) {
                slot[name] = g;
                groups.push_back({name, {}});
            } else {
                g = s->second;
            }
        }
        groups[g].rows.push_back(static_cast<int>(r));
    }
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (!used[i]) absent.push_back(entries[i]);
    return groups;
}
