#pragma once

#include "printing/SheetFormat.h"

#include <QHash>
#include <QString>
#include <optional>
#include <vector>

namespace velomar::settings {
class Settings;
}

namespace velomar::printing {

// Every sheet format the user can choose: the built-in list (the standard 3 x 8 sheet
// first), the rectangular templates of glabels-data when installed, and the user's own
// format. Names are unique; a glabels template named as an earlier format is left out.
class SheetCatalog {
public:
    struct GlabelsSummary {
        int read = 0;    // rectangular templates with one layout, now in the catalogue
        int skipped = 0; // other shapes, several layouts, unknown paper, bad values
        int files = 0;
    };

    // Built-in formats only.
    SheetCatalog();

    // Where glabels-data puts its templates.
    static QString glabelsFolder();
    // Adds the templates of folder (every *-templates.xml); nothing when it is missing.
    GlabelsSummary addGlabels(const QString& folder = glabelsFolder());
    // Adds or replaces the user's own format (source Custom); throws common::AppError
    // with the Italian reason when it cannot be printed.
    void setCustom(SheetFormat format);

    // Built-ins, glabels templates and the custom format from the settings.
    static SheetCatalog load(const settings::Settings& settings);

    const std::vector<SheetFormat>& formats() const { return m_formats; }
    // By name, ignoring case, spaces, "×" for "x" and "," for ".".
    std::optional<SheetFormat> find(const QString& name) const;
    // Formats whose name or description holds every word of text (same folding).
    std::vector<SheetFormat> search(const QString& text) const;

    static const std::vector<SheetFormat>& builtIn();
    static QString customName(); // "Personalizzato"

    // The format the label jobs use: the one chosen in the settings, the standard sheet
    // when none was chosen or the stored one is unusable. For an unusable one, note (when
    // given) gets the text saying so and which sheet is used instead; else it is cleared.
    static SheetFormat current(const settings::Settings& settings, QString* note = nullptr);
    // A command's sheet: the one named (empty: current()), or none when no sheet has that
    // name; unknownText says so.
    static std::optional<SheetFormat> named(const settings::Settings& settings, const QString& name,
                                            QString* note = nullptr);
    static QString unknownText(const QString& name);
    // Stores the choice with all its values (a glabels template stays usable when the
    // package is removed); a Custom format is also kept as the user's own format.
    // Throws common::AppError when the format cannot be printed.
    static void setCurrent(settings::Settings& settings, const SheetFormat& format);
    // The user's own format as last entered, if any.
    static std::optional<SheetFormat> custom(const settings::Settings& settings);
    static void setCustom(settings::Settings& settings, SheetFormat format);

private:
    void add(SheetFormat format); // keeps the first of a name
    void reindex();
    std::vector<SheetFormat> m_formats;
    QHash<QString, std::size_t> m_index; // folded name -> place in m_formats
};

} // namespace velomar::printing
