#include "pipeline/aligner_config.h"

#include <utility>

#include "io/file_io.h"
#include "io/program_folder.h"
#include "io/text.h"

namespace kvr {

namespace {

constexpr const char* kBuiltIn = "built in";

struct SettingName {
    std::string_view key;          // in aligners.conf
    std::string_view environment;  // variable that overrides it
    bool isAligner;
};

constexpr SettingName kSettings[] = {
    {FactsOf(Aligner::Muscle).name, FactsOf(Aligner::Muscle).environment, true},
    {FactsOf(Aligner::Clustalw).name, FactsOf(Aligner::Clustalw).environment, true},
    {FactsOf(Aligner::Mafft).name, FactsOf(Aligner::Mafft).environment, true},
    {"neighbor", "KVR_NEIGHBOR", false},
};

ProgramSetting* Find(AlignerConfig& config, std::string_view key) {
    if (const std::optional<Aligner> aligner = AlignerNamed(key)) return config.Program(*aligner);
    return key == "neighbor" ? &config.neighbor : nullptr;
}

// Checks and stores one value; a problem names where it came from.
void Set(AlignerConfig& config, const SettingName& name, std::string value, std::string origin,
         std::vector<std::string>& problems) {
    if (name.isAligner && (!ContainsText(value, "{in}") || !ContainsText(value, "{out}"))) {
        problems.push_back(origin + ": the " + std::string(name.key) +
                           " command must contain {in} and {out} (the pair file and the "
                           "aligned file): " +
                           value);
        return;
    }
    *Find(config, name.key) = ProgramSetting{std::move(value), std::move(origin)};
}

}  // namespace

const ProgramSetting* AlignerConfig::Program(Aligner aligner) const {
    switch (aligner) {
        case Aligner::Muscle:
            return &muscle;
        case Aligner::Clustalw:
            return &clustalw;
        case Aligner::Mafft:
            return &mafft;
        case Aligner::Builtin:
            break;
    }
    return nullptr;
}

ProgramSetting* AlignerConfig::Program(Aligner aligner) {
    return const_cast<ProgramSetting*>(std::as_const(*this).Program(aligner));
}

namespace {

// The built-in commands; the tree script and aligners.conf of the user, else as shipped. The
// conf path is where the user's settings go (and are read from), for messages.
AlignerConfig DefaultsFor(const ProgramFiles& files) {
    AlignerConfig config;
    // One thread: a run starts an aligner per processor, and MUSCLE's own threads on a single
    // pair only compete with the other aligners (a tenth slower on 2 cores).
    config.muscle = {"muscle -align {in} -output {out} -threads 1", kBuiltIn};
    config.clustalw = {"clustalw {in} -type=DNA -output=fasta -outfile={out}", kBuiltIn};
    config.mafft = {"mafft --localpair {in} > {out}", kBuiltIn};
    config.neighbor = {"", kBuiltIn};
    config.treeScript = UserOrShippedFile(files, kTreeScriptName);
    config.confPath = JoinPath(files.configFolder, kAlignerConfName);
    return config;
}

void ApplyConfFile(const std::string& path, AlignerConfig& config,
                   std::vector<std::string>& problems) {
    if (const auto text = ReadWholeFile(path)) ApplyConfText(*text, path, config, problems);
}

}  // namespace

AlignerConfig DefaultAlignerConfig(const std::string& programFolder) {
    return DefaultsFor(FilesOf(programFolder));
}

void ApplyConfText(std::string_view text, const std::string& confPath, AlignerConfig& config,
                   std::vector<std::string>& problems) {
    int lineNumber = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        ++lineNumber;
        const std::string line = TrimSpaces(RemoveAll(text.substr(start, end - start), "\r\t"));
        start = end + 1;
        if (line.empty() || line.front() == '#') continue;

        const std::string origin = confPath + " line " + std::to_string(lineNumber);
        const auto equals = line.find('=');
        if (equals == std::string::npos) {
            problems.push_back(origin + ": expected 'name = command', found: " + line);
            continue;
        }
        const std::string key = TrimSpaces(line.substr(0, equals));
        std::string value = TrimSpaces(line.substr(equals + 1));
        const SettingName* name = nullptr;
        for (const SettingName& candidate : kSettings)
            if (key == candidate.key) name = &candidate;
        if (name == nullptr) {
            problems.push_back(origin + ": unknown name '" + key +
                               "' (known: muscle, clustalw, mafft, neighbor)");
            continue;
        }
        if (value.empty()) continue;  // an empty value keeps the built-in one
        Set(config, *name, std::move(value), origin, problems);
    }
}

AlignerConfigLoad LoadAlignerConfig(const std::string& programFolder,
                                    const EnvironmentLookup& environment) {
    const ProgramFiles files = FilesOf(programFolder, environment);
    AlignerConfigLoad load{DefaultsFor(files), {}};
    // Installed: the shipped file first, then the user's own, line by line over it.
    const std::string shipped = JoinPath(files.dataFolder, kAlignerConfName);
    if (shipped != load.config.confPath) ApplyConfFile(shipped, load.config, load.problems);
    ApplyConfFile(load.config.confPath, load.config, load.problems);
    for (const SettingName& name : kSettings) {
        const std::string variable(name.environment);
        const char* value = environment(variable.c_str());
        if (value == nullptr) continue;
        std::string trimmed = TrimSpaces(value);
        if (!trimmed.empty()) Set(load.config, name, std::move(trimmed), variable, load.problems);
    }
    return load;
}

std::string ExpandAlignerCommand(std::string_view commandTemplate, std::string_view inputName,
                                 std::string_view outputName) {
    std::string command;
    command.reserve(commandTemplate.size() + 2 * (inputName.size() + outputName.size()));
    for (std::size_t p = 0; p < commandTemplate.size();) {
        if (commandTemplate.compare(p, 4, "{in}") == 0) {
            command += inputName;
            p += 4;
        } else if (commandTemplate.compare(p, 5, "{out}") == 0) {
            command += outputName;
            p += 5;
        } else {
            command += commandTemplate[p++];
        }
    }
    return command;
}

}  // namespace kvr
