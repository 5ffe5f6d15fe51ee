#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ReportSamples.h"
#include "center/ReportStore.h"
#include "support/TempDir.h"
#include "system/CenterProcess.h"

namespace vok::center::test {

using vok::test::BodyOf;
using vok::test::CenterProcess;
using vok::test::Exchange;
using vok::test::Get;
using vok::test::HeaderOf;
using vok::test::SiteUpload;
using vok::test::StatusOf;

enum class Backend { Sqlite, Postgresql };

inline std::string BackendName(const ::testing::TestParamInfo<Backend>& info) {
    return info.param == Backend::Sqlite ? "Sqlite" : "Postgresql";
}

// A test on each store: a SQLite file of its own, or a fresh database on the
// shared throwaway PostgreSQL cluster (skipped when there is none).
class StoreTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        if (GetParam() == Backend::Sqlite) {
            m_url = DatabaseUrl::SqliteFile(m_dir.File("center.db"));
            return;
        }
        std::string whyNot;
        const std::string url = vok::test::FreshPostgres(whyNot);
        if (!whyNot.empty()) {
            GTEST_SKIP() << whyNot;
        }
        ASSERT_FALSE(url.empty());
        m_url = DatabaseUrl::Parse(url).value();
    }

    std::unique_ptr<ReportStore> Open() {
        Result<std::unique_ptr<ReportStore>> store = ReportStore::Open(m_url);
        EXPECT_TRUE(store) << (store ? "" : store.error());
        return store ? std::move(store).value() : nullptr;
    }

    vok::test::TempDir m_dir;
    DatabaseUrl m_url;
};

}  // namespace vok::center::test
