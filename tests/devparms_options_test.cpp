// Both models' persisted options: Load defaults from an empty store, Save order, the round trip
// through the store and through the device-options page, and a Load without a store.
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "devparms/CDEFP_1_RPHOTO.h"
#include "devparms/CDEFP_2_RPHOTO.h"
#include "host/PropertyPage.h"
#include "support/TestSupport.h"

namespace {

struct Option {
    std::string key;  // as stored
    std::string value;
};

// The options of one model from tests/data/device_options.tsv, broken-nozzle flags included.
std::vector<Option> OptionsOf(int model)
{
    std::vector<Option> out;
    const std::string prefix = "DP" + std::to_string(model) + "_";
    for (const auto& row : test_support::DataTable("device_options.tsv")) {
        if (std::stoi(row.at(0)) != model) continue;
        const std::string& key = row.at(1);
        out.push_back({key[0] == '=' ? key.substr(1) : prefix + key, row.size() > 2 ? row[2] : ""});
        if (key == "bEnableBrokenNozzles")
            for (int n = 0; n < 180; ++n) out.push_back({prefix + "bBrokenNozzle_" + std::to_string(n), "0"});
    }
    return out;
}

std::unique_ptr<CEpsonRPhotoDevParmsBase> Make(int model, CPrintEnv* env)
{
    if (model == 1) return std::make_unique<CDEFP_1_RPHOTO>(env);
    return std::make_unique<CDEFP_2_RPHOTO>(env);
}

// What Save writes, in write order.
std::vector<Option> Saved(CEpsonRPhotoDevParmsBase& parms)
{
    CPrintEnv out;
    CPrintEnv* own = parms.pPrintEnv;
    parms.pPrintEnv = &out;
    parms.Save(&out);
    parms.pPrintEnv = own;
    std::vector<Option> saved;
    for (const std::string& key : out.WriteLog()) saved.push_back({key, out.GetString(key.c_str(), "").str()});
    return saved;
}

void ExpectSame(const std::vector<Option>& got, const std::vector<Option>& want)
{
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(got[i].key, want[i].key) << "entry " << i;
        EXPECT_EQ(got[i].value, want[i].value) << want[i].key;
    }
}

class Options : public ::testing::TestWithParam<int> {};

TEST_P(Options, LoadFromAnEmptyStoreGivesTheDefaultsAndSaveWritesThemInOrder)
{
    CPrintEnv empty;
    auto parms = Make(GetParam(), &empty);
    parms->Load(&empty);
    ExpectSame(Saved(*parms), OptionsOf(GetParam()));
}

// Every option stored away from its default: the store's values come back from Load and Save,
// and through the page (into an object loaded from an empty store) all but model 2's dot type.
TEST_P(Options, StoredValuesSurviveLoadSaveAndThePage)
{
    CPrintEnv env;
    std::vector<Option> stored = OptionsOf(GetParam());
    int n = 0;
    for (Option& o : stored) {
        if (o.key.find("InkLevels") == 0 || o.key.find("BitsPerPixel") == 0) continue;
        o.value = o.key.find("strPaperTyp") != std::string::npos ? "Photo Paper Glossy"
                  : o.key.find("bBrokenNozzle_") != std::string::npos ? std::to_string(n++ % 7 == 3)
                                                                       : std::to_string(n++ + 2);
        env.PutString(o.key.c_str(), o.value.c_str());
    }
    auto parms = Make(GetParam(), &env);
    parms->Load(&env);
    ExpectSame(Saved(*parms), stored);

    CPrintEnv empty;
    auto edited = Make(GetParam(), &empty);
    edited->Load(&empty);
    std::unique_ptr<CPrintEnvPropertyPage> page(parms->GetPropertyPage(nullptr));
    ASSERT_NE(page, nullptr);
    edited->FromPropertyPage(page.get());
    for (Option& o : stored)
        if (o.key == "DP2_nDotTyp") o.value = "0";  // no control carries it
    ExpectSame(Saved(*edited), stored);
}

// Without a store every integer option loads as -1 and the medium name as "***ERROR***"; Save
// then writes none of the object's own keys.
TEST_P(Options, LoadWithoutAStoreGivesErrorValues)
{
    auto parms = Make(GetParam(), nullptr);
    CPrintEnv host;
    parms->Load(&host);
    const std::vector<Option> saved = Saved(*parms);
    ASSERT_EQ(saved.size(), OptionsOf(GetParam()).size());
    for (const Option& o : saved) {
        if (o.key.rfind("DP", 0) == 0) {
            EXPECT_EQ(o.value, o.key.find("strPaperTyp") != std::string::npos ? "***ERROR***" : "-1") << o.key;
        }
    }
    parms->Save(&host);
    for (const std::string& key : host.WriteLog()) EXPECT_NE(key.rfind("DP", 0), 0u) << "wrote " << key;
}

INSTANTIATE_TEST_SUITE_P(BothModels, Options, ::testing::Values(1, 2));

// Model 2's ink levels come from field 5 of the print method's parameter string; three levels
// are printed with two bits per pixel, any other count with one.
TEST(Model2Options, InkLevelsComeFromFieldFiveOfThePrintMethod)
{
    const struct {
        const char* parms;  // nullptr: no parameter string
        int levels, bits;
    } cases[] = {
        {"a,b,c,d,2,f", 2, 1}, {"a,b,c,d", 3, 2},  {"a,b,c,d,x2,f", 0, 1}, {"a,b,c,d, -4z", -4, 1},
        {"a,b,c,d,3", 3, 2},   {nullptr, 3, 2},    {"a,,,,5", 5, 1},        {",,,,", 0, 1},
    };
    for (const auto& c : cases) {
        CPrintEnv env;
        env.PutString(PrEnv_PrintMethod.pszKey, "1440x720");
        if (c.parms) env.PutString("$Parms$1440x720", c.parms);
        CDEFP_2_RPHOTO parms(&env);
        parms.Load(&env);
        parms.Save(&env);
        EXPECT_EQ(env.GetInt(PrEnv_InkLevels), c.levels) << (c.parms ? c.parms : "none");
        EXPECT_EQ(env.GetInt(PrEnv_BitsPerPixel), c.bits) << (c.parms ? c.parms : "none");
    }
}

}  // namespace
