// Build-time tool: zips folders of readable XML parts into one Office Open XML
// package (the .docx format; the program's templates and manual end in .dot/.doc).
//
//   varelio_empaquetar <output> <folder>...
//
// Every file below a folder becomes an entry named by its path relative to that
// folder. A part in a later folder replaces the part of the same path in an earlier
// one, so the templates share their common parts. The output is reproducible: a
// fixed entry order ([Content_Types].xml first, then by path), one fixed time stamp
// and fixed attributes, whatever the checkout's times, owner or umask.
#include <zip.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char* kContentTypes = "[Content_Types].xml";

bool fail(const std::string& message)
{
    std::cerr << "varelio_empaquetar: " << message << '\n';
    return false;
}

// Package path -> file on disk; later folders win.
bool collectParts(const std::vector<fs::path>& folders, std::map<std::string, fs::path>& parts)
{
    for (const fs::path& folder : folders) {
        std::error_code ec;
        if (!fs::is_directory(folder, ec))
            return fail("not a folder: " + folder.string());
        for (fs::recursive_directory_iterator it(folder, ec), end; it != end; it.increment(ec)) {
            if (ec)
                return fail("cannot read " + folder.string() + ": " + ec.message());
            if (it->is_regular_file())
                parts[it->path().lexically_relative(folder).generic_string()] = it->path();
        }
    }
    if (!parts.count(kContentTypes))
        return fail(std::string("no ") + kContentTypes + " at the package root");
    return true;
}

bool addPart(zip_t* archive, const std::string& name, const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof())
        return fail("cannot read " + file.string());

    // libzip reads the buffer at zip_close(), so it gets a copy it frees itself.
    void* copy = std::malloc(bytes.empty() ? 1 : bytes.size());
    if (!copy)
        return fail("out of memory");
    std::memcpy(copy, bytes.data(), bytes.size());
    zip_source_t* source = zip_source_buffer(archive, copy, bytes.size(), 1);
    if (!source) {
        std::free(copy);
        return fail("cannot add " + name);
    }
    const zip_int64_t index = zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(source);
        return fail("cannot add " + name + ": " + zip_strerror(archive));
    }
    // 1 January 2000, 00:00 (the process runs in UTC, see main).
    constexpr std::time_t kFixedTime = 946684800;
    const auto i = static_cast<zip_uint64_t>(index);
    if (zip_set_file_compression(archive, i, ZIP_CM_DEFLATE, 9) != 0
        || zip_file_set_mtime(archive, i, kFixedTime, 0) != 0
        || zip_file_set_external_attributes(archive, i, 0, ZIP_OPSYS_UNIX, 0100644u << 16) != 0)
        return fail("cannot set the attributes of " + name + ": " + zip_strerror(archive));
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::cerr << "usage: varelio_empaquetar <output> <folder>...\n";
        return 2;
    }
    // DOS time stamps in a zip are local times: fix the zone so every machine
    // writes the same bytes.
    setenv("TZ", "UTC", 1);
    tzset();

    const fs::path output = argv[1];
    const std::vector<fs::path> folders(argv + 2, argv + argc);
    std::map<std::string, fs::path> parts;
    if (!collectParts(folders, parts))
        return 1;

    std::vector<std::string> order{kContentTypes};
    for (const auto& [name, file] : parts)
        if (name != kContentTypes)
            order.push_back(name);

    std::error_code ec;
    fs::create_directories(output.parent_path(), ec);
    // libzip writes into a temporary file beside the output and renames it over the
    // output at zip_close(), so a failed run never leaves a half-written package.
    int error = 0;
    zip_t* archive = zip_open(output.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive) {
        zip_error_t ze;
        zip_error_init_with_code(&ze, error);
        fail("cannot create " + output.string() + ": " + zip_error_strerror(&ze));
        zip_error_fini(&ze);
        return 1;
    }
    for (const std::string& name : order) {
        if (!addPart(archive, name, parts[name])) {
            zip_discard(archive);
            return 1;
        }
    }
    if (zip_close(archive) != 0) {
        fail("cannot write " + output.string() + ": " + zip_strerror(archive));
        zip_discard(archive);
        return 1;
    }
    return 0;
}
