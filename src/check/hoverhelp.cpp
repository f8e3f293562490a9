#include "check/hoverhelp.h"

#include "check/valuegrammar.h"
#include "text/cssplaces.h"
#include "text/selectorrules.h"

#include <QStringList>

#include <algorithm>

namespace sheetsmith {

namespace {

int catalogueIndex(const Catalogue &catalogue, const QString &property)
{
    for (int i = 0; i < CataloguePropertyCount; ++i) {
        if (catalogue.PropName[size_t(i)].compare(property, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

// The properties a CSS1 shorthand sets, each of which a keyword of it may be a value of.
QStringList longhandsOf(const QString &shorthand)
{
    if (shorthand == u"font")
        return {"font-style", "font-variant", "font-weight", "font-size", "line-height", "font-family"};
    if (shorthand == u"background")
        return {"background-color", "background-image", "background-repeat", "background-attachment",
                "background-position"};
    if (shorthand == u"border" || shorthand == u"border-top" || shorthand == u"border-right"
        || shorthand == u"border-bottom" || shorthand == u"border-left")
        return {"border-top-width", "border-style", "border-color"};
    if (shorthand == u"list-style")
        return {"list-style-type", "list-style-image", "list-style-position"};
    return {};
}

bool keywordAllowed(const QString &property, const QString &keyword)
{
    if (JudgeCss1Value(property, keyword).allowed)
        return true;
    const QStringList longhands = longhandsOf(property);
    return std::any_of(longhands.begin(), longhands.end(),
                       [&keyword](const QString &longhand) { return JudgeCss1Value(longhand, keyword).allowed; });
}

QString notCss1(const QString &property)
{
    return QStringLiteral("%1: not a property of CSS level 1.").arg(property);
}

QString propertyHelp(const Catalogue &catalogue, const QString &property)
{
    const int i = catalogueIndex(catalogue, property);
    if (i < 0)
        return notCss1(property);
    const QString &values = catalogue.PropValues[size_t(i)];
    const QString shown = values.contains(u'|') ? values.split(u'|', Qt::SkipEmptyParts).join(QStringLiteral(" | "))
                                                : values;
    return QStringLiteral("%1: %2\nCSS1 values: %3").arg(property, catalogue.PropInfo[size_t(i)], shown);
}

QString valueHelp(const Catalogue &catalogue, const QString &property, const QString &keyword)
{
    if (catalogueIndex(catalogue, property) < 0)
        return notCss1(property);
    return keywordAllowed(property, keyword)
               ? QStringLiteral("%1: a value CSS level 1 allows for %2.").arg(keyword, property)
               : QStringLiteral("%1: not a value CSS level 1 allows for %2.").arg(keyword, property);
}

QString count(int n, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

QString selectorHelp(QStringView selector)
{
    const Specificity s = SelectorSpecificity(selector);
    return QStringLiteral("%1\nSpecificity (%2, %3, %4): %5, %6, %7")
        .arg(selector.toString())
        .arg(s.ids)
        .arg(s.classes)
        .arg(s.elements)
        .arg(count(s.ids, "ID", "IDs"), count(s.classes, "class or pseudo-class", "classes and pseudo-classes"),
             count(s.elements, "element", "elements"));
}

// Whether the token is the "important" of a "!important".
bool afterBang(QStringView text, const CssToken &t)
{
    qsizetype i = t.offset - 1;
    while (i >= 0 && text[i].isSpace())
        --i;
    return i >= 0 && text[i] == u'!';
}

} // namespace

QString HoverHelpAt(QStringView text, const CommentMarkerPositions &markers, qsizetype offset,
                    const Catalogue &catalogue)
{
    const CssTokenPlace found = CssPlaceAt(text, markers, offset);
    const CssToken &t = found.token;
    switch (found.place.kind) {
    case CssPlace::Property:
        return propertyHelp(catalogue, found.place.property);
    case CssPlace::Value:
        if (t.type != CssTokenType::Ident || afterBang(text, t))
            return QString();
        return valueHelp(catalogue, found.place.property, CssTokenValue(text, t));
    case CssPlace::Selector:
        if (t.type == CssTokenType::Comma)
            return QString();
        return selectorHelp(text.sliced(found.place.selectorFrom, found.place.selectorTo - found.place.selectorFrom));
    case CssPlace::Other:
        break;
    }
    return QString();
}

} // namespace sheetsmith
