#include "EmbeddedFiles.h"

namespace u830::resources {

QString embeddedFilePath(const QString& name)
{
    // A separator would let the name climb out of the folder (Qt cleans "..").
    if (name.isEmpty() || name.contains(u'/') || name.contains(u'\\'))
        return QString();
    QString path = QStringLiteral(":/FILE/");
    path.reserve(path.size() + name.size());
    for (QChar c : name) {
        // Only ASCII letters: QString::toUpper would turn "ß" into "SS" and so find
        // a different file than the name asked for.
        const char16_t u = c.unicode();
        path.append(u >= u'a' && u <= u'z' ? QChar(char16_t(u - u'a' + u'A')) : c);
    }
    return path;
}

}  // namespace u830::resources
