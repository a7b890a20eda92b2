#include "io/matrix_formats.h"

#include <unordered_set>

#include "io/number_text.h"

namespace kvr {

namespace {

constexpr std::size_t kPhylipNameWidth = 10;

// The first bytes of text, at most count, ending between UTF-8 characters.
std::string_view Prefix(std::string_view text, std::size_t count) {
    if (text.size() <= count) return text;
    while (count > 0 && (static_cast<unsigned char>(text[count]) & 0xC0) == 0x80) --count;
    return text.substr(0, count);
}

// What PHYLIP reads as the name: blanks at the end do not count.
std::string NameKey(std::string_view name) {
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    return std::string(name);
}

// Writes text in blocks, as the rows are formatted.
class BlockWriter {
  public:
    explicit BlockWriter(std::ostream& out) : out_(out) {}
    std::string& Text() { return text_; }
    void Flush(bool always = false) {
        if (!always && text_.size() < (1 << 16)) return;
        out_ << text_;
        text_.clear();
    }
    ~BlockWriter() { Flush(true); }

  private:
    std::ostream& out_;
    std::string text_;
};

}  // namespace

bool WriteSquareMatrix(std::ostream& out, const IdentityView& identity,
                       const std::vector<std::string>& names) {
    {
        BlockWriter block(out);
        std::string& text = block.Text();
        text = "name";
        for (const std::string& name : names) text.append("\t").append(name);
        text += '\n';
        for (int a = 0; a < identity.Size(); ++a) {
            text += names[a];
            for (int b = 0; b < identity.Size(); ++b)
                text.append("\t").append(a == b ? "100" : PercentText(identity.Identity(a, b)));
            text += '\n';
            block.Flush();
        }
    }
    return static_cast<bool>(out);
}

PhylipNames MakePhylipNames(const std::vector<std::string>& names) {
    PhylipNames phylip;
    std::unordered_set<std::string> taken;
    for (std::size_t s = 0; s < names.size(); ++s) {
        const std::string& name = names[s];
        const bool fits = !name.empty() && name.size() <= kPhylipNameWidth &&
                          name.find_first_of("()[]:;,") == std::string::npos &&
                          !taken.contains(NameKey(name));
        std::string shortName = name;
        for (int variant = 0; !fits || variant > 0; ++variant) {
            const std::string suffix =
                "~" + std::to_string(s + 1) + (variant == 0 ? "" : "~" + std::to_string(variant));
            std::string start = NameKey(Prefix(name, kPhylipNameWidth - suffix.size()));
            for (char& c : start)
                if (std::string_view("()[]:;,").find(c) != std::string_view::npos) c = '_';
            shortName = start + suffix;
            if (!taken.contains(NameKey(shortName))) break;
        }
        taken.insert(NameKey(shortName));
        phylip.changed = phylip.changed || shortName != name;
        phylip.shortNames.push_back(std::move(shortName));
    }
    return phylip;
}

bool WritePhylipMatrix(std::ostream& out, const IdentityView& identity,
                       const std::vector<std::string>& shortNames) {
    {
        BlockWriter block(out);
        std::string& text = block.Text();
        text = std::to_string(identity.Size()) + "\n";
        for (int a = 0; a < identity.Size(); ++a) {
            text += shortNames[a];
            text.append(kPhylipNameWidth - std::min(kPhylipNameWidth, shortNames[a].size()), ' ');
            for (int b = 0; b < identity.Size(); ++b)
                text.append("  ").append(a == b ? "0" : DistanceText(identity.Identity(a, b)));
            text += '\n';
            block.Flush();
        }
    }
    return static_cast<bool>(out);
}

bool WritePhylipNames(std::ostream& out, const PhylipNames& phylip,
                      const std::vector<std::string>& names) {
    out << "short\tname\n";
    for (std::size_t s = 0; s < names.size() && out; ++s)
        out << phylip.shortNames[s] << '\t' << names[s] << '\n';
    return static_cast<bool>(out);
}

}  // namespace kvr
