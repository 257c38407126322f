#include "authoring/webexport/htmlsanitizer.h"

#include <gtest/gtest.h>

using authoring::HtmlSanitizer;

namespace {

// Links inside "site/" are kept as written, pictures get a "p/" prefix; anything else goes.
QString clean(const QString& html) {
    HtmlSanitizer sanitizer([](const QString& address, HtmlSanitizer::LinkKind kind) {
        if (!address.startsWith(QLatin1String("site/"))) return QString();
        return kind == HtmlSanitizer::LinkKind::Picture ? QStringLiteral("p/") + address : address;
    });
    return sanitizer.sanitize(html);
}

}  // namespace

TEST(HtmlSanitizer, NothingThatRunsIsLeft) {
    const QString out = clean(
        "<p onclick=\"steal()\" class=\"x\">Hi<script>alert(1)</script>"
        "<SCRIPT type=text/javascript>alert(2)</SCRIPT >there</p>"
        "<iframe src=\"site/a.html\"><p>inside</p></iframe><object data=x><embed src=y></object>"
        "<a href=\"javascript:alert(3)\">j</a><a href=\" JavaScript:alert(4)\">k</a>"
        "<img src=\"site/a.png\" onerror=\"alert(5)\"><svg><script>alert(6)</script></svg>"
        "<form action=\"http://x\"><input name=q><button>go</button></form>"
        "<meta http-equiv=\"refresh\" content=\"0;url=http://x\"><base href=\"http://x/\">");
    EXPECT_FALSE(out.contains("alert", Qt::CaseInsensitive)) << out.toStdString();
    EXPECT_FALSE(out.contains("onclick"));
    EXPECT_FALSE(out.contains("onerror"));
    EXPECT_FALSE(out.contains("<iframe"));
    EXPECT_FALSE(out.contains("inside"));
    EXPECT_FALSE(out.contains("<form"));
    EXPECT_FALSE(out.contains("<input"));
    EXPECT_FALSE(out.contains("<meta"));
    EXPECT_FALSE(out.contains("<base"));
    EXPECT_FALSE(out.contains("http"));
    EXPECT_TRUE(out.contains("<p class=\"x\">Hi"));
    EXPECT_TRUE(out.contains("there</p>"));
    // A link that goes keeps its text; a picture that stays keeps its place.
    EXPECT_TRUE(out.contains("<a>j</a>"));
    EXPECT_TRUE(out.contains("<img src=\"p/site/a.png\">"));
}

TEST(HtmlSanitizer, LinksAndPicturesPassThroughTheMapping) {
    const QString out = clean(
        "<a href=\"site/b.html#top\" target=_blank>b</a><a href=\"#here\">h</a>"
        "<a href='http://example.org/'>web</a><img src=\"http://example.org/x.png\" alt=\"x\">"
        "<img src=\"data:image/png;base64,AAAA\"><a href=\"site/c.html?x=&quot;1\">c</a>"
        "<map name=m><area shape=rect coords=\"1,2,3,4\" href=\"site/d.html\"></map>"
        "<img src=site/e.gif usemap=\"#m\" width=10>");
    EXPECT_TRUE(out.contains("<a href=\"site/b.html#top\">b</a>")) << out.toStdString();
    EXPECT_TRUE(out.contains("<a href=\"#here\">h</a>"));
    EXPECT_TRUE(out.contains("<a>web</a>"));
    EXPECT_FALSE(out.contains("example.org"));
    EXPECT_FALSE(out.contains("data:"));
    // Attribute values are decoded for the mapping and written back escaped.
    EXPECT_TRUE(out.contains("href=\"site/c.html?x=&quot;1\""));
    EXPECT_TRUE(out.contains("<area shape=\"rect\" coords=\"1,2,3,4\" href=\"site/d.html\">"));
    EXPECT_TRUE(out.contains("<img src=\"p/site/e.gif\" usemap=\"#m\" width=\"10\">"));
}

TEST(HtmlSanitizer, StylesThatFetchGoAndTheRestStays) {
    const QString out = clean(
        "<!DOCTYPE html><html><head><title>A < B</title>"
        "<style>body{color:red}</style><style>@import 'http://x/y.css';</style>"
        "<style>p{background:url(http://x/t.png)}</style>"
        "<link rel=stylesheet href=\"http://x/z.css\"></head>"
        "<body><!-- a comment --><p style=\"color:blue\">a</p>"
        "<p style=\"background: URL(http://x/p.png)\">b</p><p "
        "style=\"x:expression(alert(1))\">c</p>"
        "<custom-tag>kept text</custom-tag></body></html>");
    EXPECT_TRUE(out.startsWith("<!DOCTYPE html><html><head><title>A &lt; B</title>"))
        << out.toStdString();
    EXPECT_TRUE(out.contains("<style>body{color:red}</style>"));
    EXPECT_FALSE(out.contains("@import"));
    EXPECT_FALSE(out.contains("url(", Qt::CaseInsensitive));
    EXPECT_FALSE(out.contains("expression"));
    EXPECT_FALSE(out.contains("<link"));
    EXPECT_FALSE(out.contains("comment"));
    EXPECT_TRUE(out.contains("<p style=\"color:blue\">a</p>"));
    EXPECT_TRUE(out.contains("<p>b</p>"));
    EXPECT_TRUE(out.contains("kept text"));
    EXPECT_FALSE(out.contains("custom-tag"));
}

TEST(HtmlSanitizer, BrokenMarkupEndsCleanly) {
    // Unclosed elements, a stray "<", an unterminated attribute and comment.
    EXPECT_EQ(clean("<p>1 < 2 and <3"), "<p>1 &lt; 2 and &lt;3");
    EXPECT_EQ(clean("<script>never closed"), "");
    // An unterminated value runs to the end, as in a browser, and is written back escaped.
    EXPECT_EQ(clean("<a href=\"site/x.html>never"), "<a href=\"site/x.html&gt;never\">");
    EXPECT_EQ(clean("<a href=\"http://x/>never"), "<a>");
    EXPECT_EQ(clean("text<!-- open"), "text");
    EXPECT_EQ(clean("<object><object>x</object>y</object>z"), "z");
    EXPECT_EQ(clean("<p title='&#x3C;&lt;&#60;'>t</p>"), "<p title=\"&lt;&lt;&lt;\">t</p>");
}

namespace {

struct FetchingStyle {
    const char* name;
    const char* css;  // a declaration list that would make the browser fetch
};

class FetchingStyles : public ::testing::TestWithParam<FetchingStyle> {};

}  // namespace

// Each way CSS can fetch goes, in a style sheet and in a style attribute, while the harmless
// declaration beside it in another element stays.
TEST_P(FetchingStyles, GoFromSheetsAndAttributes) {
    const QString css = QString::fromUtf8(GetParam().css);
    const QString out = clean("<html><head><style>p{" + css +
                              "}</style><style>h1{color:red}</style>"
                              "</head><body><p style=\"" +
                              QString(css).replace('"', "&quot;") +
                              "\">a</p><p style=\"color:blue\">b</p></body></html>");
    EXPECT_FALSE(out.contains("p{")) << out.toStdString();
    EXPECT_TRUE(out.contains("<p>a</p>")) << out.toStdString();
    EXPECT_FALSE(out.contains("example.org")) << out.toStdString();
    EXPECT_TRUE(out.contains("<style>h1{color:red}</style>"));
    EXPECT_TRUE(out.contains("<p style=\"color:blue\">b</p>"));
}

INSTANTIATE_TEST_SUITE_P(
    HtmlSanitizer, FetchingStyles,
    ::testing::Values(
        FetchingStyle{"Url", "background:url(http://example.org/a.png)"},
        FetchingStyle{"UrlSpacedAndUpperCase", "background:URL (  'http://example.org/a.png')"},
        FetchingStyle{"UrlEscaped", "background:u\\rl(http://example.org/a.png)"},
        FetchingStyle{"UrlHexEscaped", "background:\\75rl(http://example.org/a.png)"},
        FetchingStyle{"ImageSet", "background-image:image-set(\"http://example.org/a.png\" 1x)"},
        FetchingStyle{"WebkitImageSet",
                      "background-image:-webkit-image-set('http://example.org/a.png' 1x)"},
        FetchingStyle{"ImageSetSpaced",
                      "background-image:Image-Set\t(\"http://example.org/a.png\" 1x)"},
        FetchingStyle{"Image", "background-image:image(\"http://example.org/a.png\")"},
        FetchingStyle{"CrossFade",
                      "background-image:cross-fade(\"http://example.org/a.png\", "
                      "\"http://example.org/b.png\", 50%)"},
        FetchingStyle{"WebkitCrossFade",
                      "background-image:-webkit-cross-fade(\"http://example.org/a.png\", "
                      "\"http://example.org/b.png\", 50%)"},
        FetchingStyle{"Element", "background:element(#x), url(http://example.org/a.png)"},
        FetchingStyle{"MozElement", "background:-moz-element(#example.org)"},
        FetchingStyle{"Import", "}@import 'http://example.org/s.css';p{color:red"},
        FetchingStyle{"ImportWithComment", "}@im/**/port 'http://example.org/s.css';p{color:red"},
        FetchingStyle{"FontSource",
                      "}@font-face{font-family:x;src:local(x),'http://example.org/f.woff'}p{"},
        FetchingStyle{"SourceAlone", "src :'http://example.org/f.woff'"},
        FetchingStyle{"CommentSplitName", "background:image/**/-set('http://example.org/a.png')"},
        FetchingStyle{"HiddenBehindAStringComment",
                      "content:'/*';background:url(http://example.org/a.png);content:'*/'"}),
    [](const ::testing::TestParamInfo<FetchingStyle>& info) {
        return std::string(info.param.name);
    });
