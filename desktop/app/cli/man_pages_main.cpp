// kvr_man_pages FOLDER DATE SECTIONS: writes the man pages of kvr into FOLDER, kvr.1 and one
// kvr-COMMAND.1 per command, from the same tables as the program's help; SECTIONS holds the
// further sections of kvr.1 ("[FILES]" and its troff, ...). Run by the build.
#include <iostream>

#include "app/cli/command_tables.h"
#include "app/cli/help_text.h"
#include "io/file_io.h"
#include "kvr_version.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: kvr_man_pages FOLDER DATE SECTIONS\n";
        return 2;
    }
    const std::string folder = argv[1];
    const auto sections = kvr::ReadWholeFile(argv[3]);
    if (!sections) {
        std::cerr << "kvr_man_pages: cannot read " << argv[3] << "\n";
        return 1;
    }
    const kvr::cli::ManPageSource source{kvr::kVersion, argv[2], *sections};
    kvr::cli::AnyRequest requests;
    const auto tables = kvr::cli::CommandTables(requests);
    const auto write = [&folder](const std::string& name, const std::string& page) {
        const kvr::Result<void> written = kvr::WriteWholeFile(folder + "/" + name, page);
        if (!written)
            std::cerr << "kvr_man_pages: "
                      << kvr::WriteFailureMessage(folder + "/" + name, written.problem()) << "\n";
        return static_cast<bool>(written);
    };
    bool ok =
        write("kvr.1", kvr::cli::FormatOverviewManPage(tables, kvr::cli::CommonSections(), source));
    for (const auto& table : tables)
        ok = write("kvr-" + table.name + ".1", kvr::cli::FormatManPage(table, source)) && ok;
    return ok ? 0 : 1;
}
