#include "authoring/import/sddtext.h"

#include <gtest/gtest.h>

using namespace authoring;

// Only the tags of HTML are markup; any other pair of angle brackets holds words.
TEST(SddText, HtmlTagsAreTypesettingAndOtherBracketsAreWords) {
    struct Case {
        const char* text;
        const char* plain;
        const char* html;
    };
    const Case cases[] = {
        {"Achenes <length>", "Achenes <length>", "Achenes &lt;length&gt;"},
        {"<i>Viola</i> <b>odorata</b> L.", "Viola odorata L.", "<i>Viola</i> <b>odorata</b> L."},
        {"<I>Viola</I> <em>alba</em>", "Viola alba", "<i>Viola</i> <i>alba</i>"},
        {"stem <span class=\"x\">erect</span>", "stem erect", "stem erect"},
        {"line one<br/>line two<p>three</p>", "line one line two three", "line one line two three"},
        {"few (<3) & many (>9)", "few (<3) & many (>9)", "few (&lt;3) &amp; many (&gt;9)"},
        {"x<y and <mean length> here", "x<y and <mean length> here",
         "x&lt;y and &lt;mean length&gt; here"},
        // Typesetting left open is closed; a closing tag without its opening is dropped.
        {"<i>Carex <b>flava", "Carex flava", "<i>Carex <b>flava</b></i>"},
        {"Carex</i> nigra", "Carex nigra", "Carex nigra"},
        {"<script>alert(1)</script>", "<script>alert(1)</script>",
         "&lt;script&gt;alert(1)&lt;/script&gt;"},
        {"H<sub>2</sub>O", "H2O", "H<sub>2</sub>O"},
        // Character references of the typesetting are the characters they name, once.
        {"<b>alba &amp; co</b> &#233;t&#xE9;", "alba & co \u00e9t\u00e9",
         "<b>alba &amp; co</b> \u00e9t\u00e9"},
        {"&lt;i&gt;x&lt;/i&gt; AT&T &bogus; &#0;", "<i>x</i> AT&T &bogus; &#0;",
         "&lt;i&gt;x&lt;/i&gt; AT&amp;T &amp;bogus; &amp;#0;"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sddtext::plain(QString::fromUtf8(c.text)), QString::fromUtf8(c.plain)) << c.text;
        EXPECT_EQ(sddtext::html(QString::fromUtf8(c.text)), QString::fromUtf8(c.html)) << c.text;
    }
}
