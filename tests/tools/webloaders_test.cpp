#include "support/toolrun.h"

#include <gtest/gtest.h>
#include <QStandardPaths>
#include <QTemporaryDir>

using testing_support::runTool;
using testing_support::ToolRun;

// The site's loaders (key data, identification files, links) fed random and mutated input
// from a fixed seed: refused with their own message or taken, never an uncaught error, and
// the identification stays one a page can show.
TEST(WebLoaders, RandomInputIsRefusedOrTakenSanely) {
    QTemporaryDir dir;
    const QString site = dir.filePath("site");
    const ToolRun exported = runTool(QStringLiteral(VIREKA_KB_PATH),
                                     {"export", "web", QStringLiteral(VIREKA_DEMO_KB), site});
    ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    QString node = QStandardPaths::findExecutable(QStringLiteral("node"));
    if (node.isEmpty()) node = QStringLiteral("/usr/bin/node");
    for (const char* seed : {"20261211", "7"}) {
        SCOPED_TRACE(seed);
        const ToolRun r = runTool(
            node, {QStringLiteral(VIREKA_WEB_TESTS) + "/loader_properties.mjs", site, "500", seed});
        EXPECT_EQ(r.exitCode, 0) << (r.out + r.err).toStdString();
        EXPECT_TRUE(r.out.contains("\"keyTaken\"")) << r.out.toStdString();
    }
}
