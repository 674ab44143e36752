// Master-data records: partners and articles added or changed, or refused with the reason.
#include "Demo.h"

#include <gtest/gtest.h>

namespace docserver {
namespace {

TEST(Records, FiscalCodesAreDigitsOptionallyBehindRo) {
    for (const char* good : {"RO14399840", "ro14399840", "14399840", "1850101123456", "12"})
        EXPECT_TRUE(ValidFiscalCode(good)) << good;
    for (const char* bad : {"RO", "1", "RO12A45", "12 345", "12345678901234", "R0123"})
        EXPECT_FALSE(ValidFiscalCode(bad)) << bad;
}

TEST(Records, RefusedPartnersNameTheReasonAndChangeNothing) {
    const struct {
        const char* record;
        KeyKind key;
        const char* error;
    } cases[] = {
        {";", KeyKind::Intern, "Lipseste denumirea partenerului"},
        {"", KeyKind::Intern, "Lipseste denumirea partenerului"},
        {"P0001;;;Nou SRL", KeyKind::Intern, "Exista deja un partener cu codul intern P0001"},
        {";C1002;;Nou SRL", KeyKind::Intern, "Exista deja un partener cu codul extern C1002"},
        {";;RO14399840;Nou SRL", KeyKind::Intern, "Exista deja un partener cu codul fiscal RO14399840"},
        {";;RO12X;Nou SRL", KeyKind::Intern, "Cod fiscal invalid RO12X"},
        {";;;Nou SRL", KeyKind::Extern, "Lipseste codul extern al partenerului"},
        {";;;Nou SRL", KeyKind::Fiscal, "Lipseste codul fiscal al partenerului"},
        {";;;Nou SRL;a;b;c;d", KeyKind::Intern, "Inregistrarea are 8 campuri, cel mult 7 sunt permise"},
    };
    for (const auto& c : cases) {
        Demo demo;
        Tables work = demo.tables;
        const auto errors = AddPartnerRecord(c.record, demo.Context(c.key), work);
        EXPECT_EQ(errors, (std::vector<std::string>{c.error})) << c.record;
        EXPECT_EQ(work.at(file::Partners), demo.tables.at(file::Partners)) << c.record;
    }
}

TEST(Records, NewPartnerWithoutInternalCodeGetsTheNextOne) {
    Demo demo;
    Tables work = demo.tables;
    EXPECT_TRUE(AddPartnerRecord(";C2000;RO123456;Nou SRL;Arad;Str. 1;0700", demo.Context(), work).empty());
    EXPECT_EQ(work.at(file::Partners).back(),
              (Row{"P0011", "C2000", "RO123456", "Nou SRL", "Arad", "Str. 1", "0700", "0.00"}));
}

TEST(Records, PartnerChangeFindsThePartnerByTheKeyKindAndKeepsEmptyFields) {
    Demo demo;
    Tables work = demo.tables;
    EXPECT_TRUE(
        ModifyPartnerRecord(";C1003;;Gama Nou SA;;Str. Noua 1", demo.Context(KeyKind::Extern), work).empty());
    EXPECT_EQ(work.at(file::Partners)[2], (Row{"P0003", "C1003", "RO21012016", "Gama Nou SA", "Iasi",
                                               "Str. Noua 1", "0232111222", "350.50"}));

    const struct {
        const char* record;
        const char* error;
    } refusals[] = {
        {";C9999;;X", "Partener necunoscut C9999"},
        {";;;X", "Lipseste codul extern al partenerului"},
        {";C1003;RO14399840", "Exista deja un partener cu codul fiscal RO14399840"},
        {"P0001;C1003", "Exista deja un partener cu codul intern P0001"},
    };
    for (const auto& c : refusals) {
        Tables again = work;
        EXPECT_EQ(ModifyPartnerRecord(c.record, demo.Context(KeyKind::Extern), again),
                  (std::vector<std::string>{c.error}))
            << c.record;
        EXPECT_EQ(again, work) << c.record;
    }
}

TEST(Records, ArticlesAreAddedWithTheirSalePriceOrRefused) {
    Demo demo;
    Tables work = demo.tables;
    EXPECT_TRUE(
        AddArticleRecord(";200001;Cafea decaf 500g;;9;35.5;20;Cafea;594", demo.Context(), work).empty());
    EXPECT_EQ(work.at(file::Articles).back()[article::Intern], "A0021");
    EXPECT_EQ(work.at(file::Articles).back()[article::Unit], "BUC");
    EXPECT_EQ(work.at(file::PriceCategories).back(), (Row{"A0021", "PRET VANZARE", "35.50"}));

    const struct {
        const char* record;
        KeyKind key;
        const char* error;
    } refusals[] = {
        {";", KeyKind::Intern, "Lipseste denumirea articolului"},
        {"A0001;;Dublura", KeyKind::Intern, "Exista deja un articol cu codul intern A0001"},
        {";100001;Dublura", KeyKind::Intern, "Exista deja un articol cu codul extern 100001"},
        {";;Fara cod extern", KeyKind::Extern, "Lipseste codul extern al articolului"},
        {";;Nou;BUC;150", KeyKind::Intern, "Cota TVA invalida 150"},
        {";;Nou;BUC;19;abc", KeyKind::Intern, "Pret de vanzare invalid abc"},
        {";;Nou;BUC;19;1;-2", KeyKind::Intern, "Pret de achizitie invalid -2"},
    };
    for (const auto& c : refusals) {
        Tables again = demo.tables;
        EXPECT_EQ(AddArticleRecord(c.record, demo.Context(KeyKind::Intern, c.key), again),
                  (std::vector<std::string>{c.error}))
            << c.record;
        EXPECT_EQ(again, demo.tables) << c.record;
    }
}

}  // namespace
}  // namespace docserver
