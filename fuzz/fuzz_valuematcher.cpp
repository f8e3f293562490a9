// The value definition syntax and the matcher over random grammars and values: a
// grammar read and written back reads the same again; a value's verdict against a real
// property does not depend on what the matcher judged before, nor on how many blanks
// stand between its parts.

#include "fuzzsupport.h"

#include "check/cssdefinitions.h"
#include "check/valuematcher.h"
#include "check/valuesyntax.h"
#include "text/csslexer.h"

#include <fuzzer/FuzzedDataProvider.h>


using namespace sheetsmith;
using namespace sheetsmith::fuzz;

namespace {

SyntaxSource definitionsSource()
{
    const CssDefinitions &d = CssDefinitions::builtIn();
    const auto syntax = [](const CssDefinitions::Definition *definition) {
        return definition ? definition->syntax : QString();
    };
    SyntaxSource source;
    source.property = [&d, syntax](QStringView name) { return syntax(d.property(name)); };
    source.type = [&d, syntax](QStringView name) { return syntax(d.type(name)); };
    source.function = [&d, syntax](QStringView name) { return syntax(d.function(name)); };
    return source;
}

const char *const Properties[] = {"background", "font", "grid-template-areas", "grid-template-columns",
                                  "transition", "box-shadow", "transform", "color", "border", "margin",
                                  "animation", "font-family", "width", "display", "mask", "filter"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const QString grammar = consumeText(input, 200);
    const ValueSyntax syntax = ParseValueSyntax(grammar);
    if (syntax.isValid()) {
        const QString written = DescribeValueSyntax(syntax);
        const ValueSyntax again = ParseValueSyntax(written);
        FUZZ_REQUIRE(again.isValid(), grammar + QStringLiteral("\nwritten: ") + written + u'\n' + again.error);
        FUZZ_REQUIRE(DescribeValueSyntax(again) == written, grammar + QStringLiteral("\nwritten: ") + written);
    }

    static ValueMatcher shared(definitionsSource());
    const QString property = QString::fromLatin1(Properties[input.ConsumeIntegralInRange<std::size_t>(0, std::size(Properties) - 1)]);
    const QString value = consumeText(input, 400);
    const auto verdict = shared.matchProperty(property, value, 0, value.size());
    ValueMatcher fresh(definitionsSource());
    FUZZ_REQUIRE(fresh.matchProperty(property, value, 0, value.size()) == verdict, property + u':' + value);
    // One blank more after each run of blanks, as the reader reads them (not the blank
    // an escape ends with, nor an escaped one).
    QString wider;
    for (const CssToken &t : CssTokens(value)) {
        wider += QStringView(value).sliced(t.offset, t.length);
        if (t.type == CssTokenType::Whitespace)
            wider += u' ';
    }
    FUZZ_REQUIRE(fresh.matchProperty(property, wider, 0, wider.size()) == verdict,
                 property + u':' + value + QStringLiteral("\nwider: ") + wider);
    // The grammar read above, against the value, ends in a verdict.
    if (syntax.isValid())
        fresh.matchSyntax(grammar, value);
    return 0;
}
