// The artist-relation classes of the formats 2.5, 2.5.3 and 2.5.5: each
// version behaves as the current classes do, under its own class names,
// which its files store and its messages quote.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "basis/class_registry.h"
#include "basis/exceptions.h"
#include "basis/expect_message.h"
#include "basis/string_collection.h"
#include "data/artist_relations.h"
#include "data/legacy/v2_5/artist_relations_2_5.h"
#include "data/legacy/v2_5_3/artist_relations_2_5_3.h"
#include "data/legacy/v2_5_5/artist_relations_2_5_5.h"
#include "object_format_test_util.h"
#include "test_util.h"
#include "xml/dom_exception.h"

using legacytest::block;
using legacytest::object;
using testutil::le32;
using testutil::str;

namespace {

const std::string kHeader = "[Application:Vosko.Type:ArtistRelations-Database.Version:0.5]";

std::vector<std::string> sorted(const TStringSet& set) {
  std::vector<std::string> names = set.toStringCollection()->strings();
  std::sort(names.begin(), names.end());
  return names;
}

std::string tableOf(const std::string& entries, int32_t count) {
  return object("TStringtable", object("THashSet", object("TArrayList", le32(count) + entries)));
}
std::string entry(const std::string& valueObject, const std::string& key) {
  return object("TMapEntry", le32(1) + valueObject + le32(1) + object("TString", str(key)));
}
std::string stringSet(const std::string& name) {
  return object("TStringSet", object("TArrayList", le32(1) + object("TString", str(name))));
}

template <class Relations>
class LegacyArtistRelationsTest : public testing::Test {
 protected:
  using Relation = typename Relations::Relation;

  // "members": A -> B, B -> C, C -> A; "covers": A -> X.
  void fill(Relations& database) {
    Relation* members = database.getRelation("members");
    members->symmetric = true;
    members->getRelatedArtists("A")->add("B");
    members->getRelatedArtists("B")->add("C");
    members->getRelatedArtists("C")->add("A");
    database.getRelation("covers")->getRelatedArtists("A")->add("X");
  }

  testutil::TempDir dir;
};

using AllVersions = testing::Types<TArtistRelations2_5, TArtistRelations2_5_3, TArtistRelations2_5_5>;
TYPED_TEST_SUITE(LegacyArtistRelationsTest, AllVersions);

TYPED_TEST(LegacyArtistRelationsTest, ClassNamesAreThoseOfTheVersion) {
  using Relation = typename TypeParam::Relation;
  const std::string relations = TypeParam::kClassName;
  const std::string suffix = relations.substr(std::string("TArtistRelations").size());
  EXPECT_EQ(std::string(Relation::kClassName), "TArtistRelation" + suffix);
  EXPECT_TRUE(ClassRegistry::isRegistered(relations));
  EXPECT_TRUE(ClassRegistry::isRegistered(Relation::kClassName));
  TypeParam database;
  EXPECT_EQ(database.fileHeader(), kHeader);
  EXPECT_EQ(database.getRelation("x")->name, "x");
  EXPECT_EQ(Relation().name, "<unknown>");
}

TYPED_TEST(LegacyArtistRelationsTest, RelatedArtistsDirectlyTransitivelyAndOnlyFromEnabledRelations) {
  TypeParam database;
  this->fill(database);
  EXPECT_EQ(sorted(*database.getRelatedArtists("A")), (std::vector<std::string>{"B", "X"}));
  EXPECT_EQ(sorted(*database.getRelatedArtists("A", true)), (std::vector<std::string>{"A", "B", "C", "X"}));
  database.getRelation("covers")->enabled = false;
  EXPECT_EQ(sorted(*database.getRelatedArtists("A")), (std::vector<std::string>{"B"}));
  // Asking about an unknown artist enters it into every enabled relation.
  EXPECT_TRUE(database.getRelatedArtists("Z")->isEmpty());
  EXPECT_TRUE(database.getRelation("members")->containsArtist("Z"));
  EXPECT_FALSE(database.getRelation("covers")->containsArtist("Z"));
}

TYPED_TEST(LegacyArtistRelationsTest, RenamingOntoAnotherRelationIsRefused) {
  TypeParam database;
  this->fill(database);
  EXPECT_EQ(messageOf<IllegalArgumentException>([&] { database.renameRelation("covers", "members"); }),
            std::string(TypeParam::kClassName) + ".renameRelation: Relation members already exists.");
  database.renameRelation("covers", "versions");
  EXPECT_EQ(database.getRelation("versions")->name, "versions");
  EXPECT_TRUE(database.removeRelation("versions"));
  EXPECT_FALSE(database.containsRelation("versions"));
}

TYPED_TEST(LegacyArtistRelationsTest, BinaryFileStoresTheVersionsClassNameAndReadsBack) {
  using Relation = typename TypeParam::Relation;
  TypeParam database;
  Relation* relation = database.getRelation("R");
  relation->symmetric = true;
  relation->getRelatedArtists("A")->add("B");
  database.store(this->dir.file("rel.bin"));
  const std::string relationObject =
      object(Relation::kClassName, str("R") + std::string(1, '\1') + tableOf(entry(stringSet("B"), "A"), 1));
  EXPECT_EQ(testutil::readFile(this->dir.file("rel.bin")),
            kHeader + block(tableOf(entry(relationObject, "R"), 1)));

  TypeParam read;
  read.load(this->dir.file("rel.bin"));
  EXPECT_TRUE(read.getRelation("R")->symmetric);
  EXPECT_EQ(sorted(*read.getRelation("R")->getRelatedArtists("A")), (std::vector<std::string>{"B"}));
}

TYPED_TEST(LegacyArtistRelationsTest, RelationsOfAnotherVersionAreRefused) {
  TArtistRelations current;
  current.getRelation("R")->getRelatedArtists("A")->add("B");
  current.store(this->dir.file("current.bin"));
  TypeParam read;
  EXPECT_EQ(messageOf<IOException>([&] { read.load(this->dir.file("current.bin")); }),
            std::string(TypeParam::kClassName) + ".read: Illegal relation: TArtistRelation.");
}

TYPED_TEST(LegacyArtistRelationsTest, XmlRoundTripAndFailures) {
  TypeParam database;
  this->fill(database);
  database.storeXML(this->dir.file("rel.xml"));
  TypeParam read;
  read.loadXML(this->dir.file("rel.xml"));
  EXPECT_EQ(read.getRelationNames()->strings(), database.getRelationNames()->strings());
  EXPECT_TRUE(read.getRelation("members")->symmetric);
  EXPECT_EQ(sorted(*read.getRelatedArtists("A", true)), (std::vector<std::string>{"A", "B", "C", "X"}));

  std::unique_ptr<TDomDocument> document = modeltest::parse("<VOSKO VERSION='0.5'/>");
  EXPECT_EQ(messageOf<EDomException>([&] { read.fromXML(document->documentElement()); }),
            "Illegal version of relations database.");
  typename TypeParam::Relation relation;
  EXPECT_EQ(messageOf<EDomException>([&] { relation.fromXML(document->documentElement()); }),
            "Illegal base tag for a vosko artist relation.");
}

}  // namespace
