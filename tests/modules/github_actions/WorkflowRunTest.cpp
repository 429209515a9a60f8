// Decoding the repository's workflow-run list: exact keys, the first failing key named, one
// broken run failing the whole answer.
#include "QtPrinters.h"

#include "services/JsonReader.h"
#include "services/WorkflowRun.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

QJsonObject validRun()
{
    return QJsonObject { { QStringLiteral("id"), 42 }, { QStringLiteral("name"), QStringLiteral("CI") },
        { QStringLiteral("head_branch"), QStringLiteral("main") },
        { QStringLiteral("status"), QStringLiteral("completed") },
        { QStringLiteral("conclusion"), QStringLiteral("success") },
        { QStringLiteral("created_at"), QStringLiteral("2026-12-07T10:00:00Z") },
        { QStringLiteral("updated_at"), QStringLiteral("2026-12-07T12:30:00+02:00") },
        { QStringLiteral("html_url"), QStringLiteral("https://github.com/o/r/actions/runs/42") } };
}

QByteArray page(const QList<QJsonObject> &runs)
{
    QJsonArray array;
    for (const QJsonObject &run : runs)
        array.append(run);
    return QJsonDocument(
        QJsonObject { { QStringLiteral("total_count"), runs.size() }, { QStringLiteral("workflow_runs"), array } })
        .toJson();
}

// The key the decoder names when it refuses `body`, or "(decoded)".
std::string failingKey(const QByteArray &body)
{
    try {
        WorkflowRunsResponse::decode(body);
        return "(decoded)";
    } catch (const JsonDecodeError &error) {
        return error.path().toStdString();
    }
}

TEST(WorkflowRun, DecodesAFullSizePageOfTheApiInOrder)
{
    QFile file(QStringLiteral(TARNLET_FIXTURES "/workflow_runs_page.json"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<WorkflowRun> runs = WorkflowRunsResponse::decode(file.readAll()).workflowRuns;
    ASSERT_EQ(runs.size(), 10);

    const WorkflowRun &first = runs[0];
    EXPECT_EQ(first.id, 12194736000);
    EXPECT_EQ(first.name, QStringLiteral("CI"));
    EXPECT_EQ(first.headBranch, QStringLiteral("main"));
    EXPECT_EQ(first.status, QStringLiteral("in_progress"));
    EXPECT_EQ(first.conclusion, std::nullopt);
    EXPECT_EQ(first.createdAt, QDateTime(QDate(2026, 12, 7), QTime(8, 0, 0), Qt::UTC));
    EXPECT_EQ(first.htmlURL, QUrl(QStringLiteral("https://github.com/octo-org/hello-world/actions/runs/12194736000")));
    EXPECT_EQ(runs[2].headBranch, QStringLiteral("feature/tray-menu"));
    EXPECT_EQ(runs[2].conclusion, QStringLiteral("failure"));
    // Words the program does not interpret survive as they are.
    EXPECT_EQ(runs[9].conclusion, QStringLiteral("neutral"));
    EXPECT_EQ(runs[7].conclusion, QStringLiteral("skipped"));
}

TEST(WorkflowRun, OptionalFieldsMayBeNullOrMissingAndExtraKeysAreIgnored)
{
    EXPECT_TRUE(WorkflowRunsResponse::decode(page({})).workflowRuns.isEmpty());

    QJsonObject nulls = validRun();
    QJsonObject missing = validRun();
    for (const char *key : { "name", "head_branch", "status", "conclusion" }) {
        nulls.insert(QLatin1StringView(key), QJsonValue::Null);
        missing.remove(QLatin1StringView(key));
    }
    QJsonObject extra = validRun();
    extra.insert(QStringLiteral("Name"), 5); // keys match exactly: a differently cased key is just another key
    extra.insert(QStringLiteral("run_attempt"), 2);

    const QList<WorkflowRun> runs = WorkflowRunsResponse::decode(page({ nulls, missing, extra })).workflowRuns;
    ASSERT_EQ(runs.size(), 3);
    EXPECT_EQ(runs[0], runs[1]);
    EXPECT_FALSE(runs[0].name || runs[0].headBranch || runs[0].status || runs[0].conclusion);
    EXPECT_EQ(runs[2].name, QStringLiteral("CI"));
}

TEST(WorkflowRun, OneBrokenRunFailsTheWholeAnswerNamingTheFirstFailingKey)
{
    const auto broken = [](std::initializer_list<std::pair<const char *, QJsonValue>> changes) {
        QJsonObject run = validRun();
        for (const auto &[key, value] : changes) {
            if (value.isUndefined())
                run.remove(QLatin1StringView(key));
            else
                run.insert(QLatin1StringView(key), value);
        }
        return page({ validRun(), run });
    };
    const QJsonValue absent(QJsonValue::Undefined);

    EXPECT_EQ(failingKey(broken({ { "html_url", absent } })), "workflow_runs[1].html_url");
    EXPECT_EQ(failingKey(broken({ { "created_at", QJsonValue::Null } })), "workflow_runs[1].created_at");
    EXPECT_EQ(failingKey(broken({ { "id", absent } })), "workflow_runs[1].id");
    EXPECT_EQ(failingKey(broken({ { "id", 1.5 } })), "workflow_runs[1].id");
    EXPECT_EQ(
        failingKey(broken({ { "updated_at", QStringLiteral("2026-12-07 10:00:00") } })), "workflow_runs[1].updated_at");
    EXPECT_EQ(
        failingKey(broken({ { "html_url", QStringLiteral("http://exa mple.com/%zz") } })), "workflow_runs[1].html_url");
    // Keys are checked in a fixed order: conclusion before head_branch, status before the dates.
    EXPECT_EQ(failingKey(broken({ { "head_branch", 1 }, { "conclusion", 2 } })), "workflow_runs[1].conclusion");
    EXPECT_EQ(failingKey(broken({ { "created_at", absent }, { "status", true } })), "workflow_runs[1].status");

    EXPECT_EQ(failingKey(R"({"total_count": 0})"), "workflow_runs");
    EXPECT_EQ(failingKey(R"({"workflow_runs": [1]})"), "workflow_runs[0]");
    EXPECT_EQ(failingKey("not json"), "");
}

} // namespace
