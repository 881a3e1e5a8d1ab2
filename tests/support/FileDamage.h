#pragma once
// The ways a file of the Documents folder is found damaged, for the tests of
// the files that must survive it.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

struct FileDamage {
    const char* name;
    void (*apply)(const std::string& path);
};

inline std::vector<uint8_t> fileBytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline const std::vector<FileDamage>& fileDamages() {
    static const std::vector<FileDamage> damages = {
        {"emptied", [](const std::string& path) { std::filesystem::resize_file(path, 0); }},
        {"cut in half",
         [](const std::string& path) { std::filesystem::resize_file(path, std::filesystem::file_size(path) / 2); }},
        {"overwritten",
         [](const std::string& path) {
             std::ofstream out(path, std::ios::binary | std::ios::trunc);
             out << "bplist00" << std::string(40, '\xee') << "not what was written here";
         }},
    };
    return damages;
}
