// Artist relations: the related artists directly and through chains, the
// database's operations, and both stored forms.
#include "data/artist_relations.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "basis/exceptions.h"
#include "basis/expect_message.h"
#include "basis/string_collection.h"
#include "basis/string_table.h"
#include "model_test_util.h"
#include "test_util.h"
#include "xml/dom_exception.h"

using modeltest::block;
using modeltest::object;
using testutil::le32;
using testutil::str;

namespace {

const std::string kHeader = "[Application:Vosko.Type:ArtistRelations-Database.Version:0.5]";
const std::string kLoadPrefix = "TXMLPersistent.loadXML: (IOException) TXMLPersistent.loadXML: ";

std::vector<std::string> sorted(const TStringSet& set) {
  std::vector<std::string> names = set.toStringCollection()->strings();
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> names(std::initializer_list<std::string> list) { return list; }

void relate(TArtistRelation& relation, const std::string& first, const std::string& second) {
  relation.getRelatedArtists(first)->add(second);
}

// Two relations: "members" A->B, B->C (enabled) and "covers" A->X.
std::unique_ptr<TArtistRelations> sampleDatabase() {
  auto database = std::make_unique<TArtistRelations>();
  TArtistRelation* members = database->getRelation("members");
  members->symmetric = true;
  relate(*members, "A", "B");
  relate(*members, "B", "C");
  relate(*database->getRelation("covers"), "A", "X");
  return database;
}

void expectSameRelation(const TArtistRelation& a, const TArtistRelation& b) {
  EXPECT_EQ(a.name, b.name);
  EXPECT_EQ(a.symmetric, b.symmetric);
  std::vector<std::string> artistsA = a.getArtists()->strings();
  std::vector<std::string> artistsB = b.getArtists()->strings();
  ASSERT_EQ(artistsA, artistsB);
  for (const std::string& artist : artistsA) {
    auto* setA = static_cast<TStringSet*>(a.artists->get(artist));
    auto* setB = static_cast<TStringSet*>(b.artists->get(artist));
    EXPECT_EQ(setA->toStringCollection()->strings(), setB->toStringCollection()->strings()) << artist;
  }
}

void expectSameDatabase(TArtistRelations& a, TArtistRelations& b) {
  std::vector<std::string> namesA = a.getRelationNames()->strings();
  ASSERT_EQ(namesA, b.getRelationNames()->strings());
  for (const std::string& name : namesA) expectSameRelation(*a.getRelation(name), *b.getRelation(name));
}

TEST(ArtistRelationTest, AskingAnEmptyRelationEntersTheArtist) {
  TArtistRelation relation;
  EXPECT_FALSE(relation.containsArtist("A"));
  TArtistSetPtr answer = relation.getRelatedArtists("A", false);
  EXPECT_EQ(answer->size(), 0);
  EXPECT_TRUE(relation.containsArtist("A"));
  EXPECT_EQ(relation.getArtists()->strings(), names({"A"}));
}

TEST(ArtistRelationTest, DirectAnswerIsTheRelationsOwnSet) {
  TArtistRelation relation;
  relation.getRelatedArtists("A", false)->add("B");
  TStringSet* own = relation.getRelatedArtists("A");
  EXPECT_EQ(sorted(*own), names({"B"}));
  EXPECT_EQ(relation.getRelatedArtists("A", false).get(), own);
}

TEST(ArtistRelationTest, ChainsAreFollowedTransitively) {
  TArtistRelation relation;
  relate(relation, "A", "B");
  relate(relation, "B", "C");
  relate(relation, "C", "D");
  relate(relation, "X", "A");  // not reachable from A
  EXPECT_EQ(sorted(*relation.getRelatedArtists("A", true)), names({"A", "B", "C", "D"}));
  EXPECT_EQ(sorted(*relation.getRelatedArtists("A", false)), names({"B"}));
  EXPECT_EQ(sorted(*relation.getRelatedArtists("C", true)), names({"C", "D"}));
  // The transitive answer is a copy: changing it leaves the relation alone.
  TArtistSetPtr closure = relation.getRelatedArtists("A", true);
  closure->add("Z");
  EXPECT_FALSE(relation.getRelatedArtists("A")->contains("Z"));
  // An artist without entry answers with itself and is entered.
  EXPECT_EQ(sorted(*relation.getRelatedArtists("New", true)), names({"New"}));
  EXPECT_TRUE(relation.containsArtist("New"));
  EXPECT_FALSE(relation.containsArtist("D"));  // reached, but never asked for
}

TEST(ArtistRelationTest, CyclesEnd) {
  TArtistRelation relation;
  relate(relation, "A", "B");
  relate(relation, "B", "A");
  EXPECT_EQ(sorted(*relation.getRelatedArtists("A", true)), names({"A", "B"}));
  TArtistRelation self;
  relate(self, "A", "A");
  EXPECT_EQ(sorted(*self.getRelatedArtists("A", true)), names({"A"}));
  TArtistRelation diamond;
  relate(diamond, "A", "B");
  relate(diamond, "A", "C");
  relate(diamond, "B", "D");
  relate(diamond, "C", "D");
  relate(diamond, "D", "A");
  EXPECT_EQ(sorted(*diamond.getRelatedArtists("A", true)), names({"A", "B", "C", "D"}));
}

TEST(ArtistRelationTest, LongChainIsFollowedToItsEnd) {
  TArtistRelation relation;
  const int kLength = 400;
  for (int i = 0; i < kLength; ++i) relate(relation, std::to_string(i), std::to_string(i + 1));
  EXPECT_EQ(relation.getRelatedArtists("0", true)->size(), kLength + 1);
}

TEST(ArtistRelationTest, CloneIsDeep) {
  TArtistRelation relation("r", true);
  relate(relation, "A", "B");
  relation.enabled = false;
  std::unique_ptr<TArtistRelation> copy = cloneAs(relation);
  ASSERT_TRUE(copy);
  expectSameRelation(relation, *copy);
  relate(*copy, "A", "C");
  EXPECT_FALSE(relation.getRelatedArtists("A")->contains("C"));
}

TEST(ArtistRelationsTest, DatabaseAnswerIsTheUnionOfEnabledRelations) {
  std::unique_ptr<TArtistRelations> database = sampleDatabase();
  EXPECT_EQ(sorted(*database->getRelatedArtists("A")), names({"B", "X"}));
  EXPECT_EQ(sorted(*database->getRelatedArtists("A", true)), names({"A", "B", "C", "X"}));
  database->getRelation("covers")->enabled = false;
  EXPECT_EQ(sorted(*database->getRelatedArtists("A", true)), names({"A", "B", "C"}));
  // Asking enters the artist into every enabled relation, and only there.
  database->getRelatedArtists("Q");
  EXPECT_TRUE(database->getRelation("members")->containsArtist("Q"));
  EXPECT_FALSE(database->getRelation("covers")->containsArtist("Q"));
}

TEST(ArtistRelationsTest, RelationsAreMadeRemovedAndRenamed) {
  TArtistRelations database;
  EXPECT_FALSE(database.containsRelation("r"));
  TArtistRelation* made = database.getRelation("r");
  EXPECT_EQ(made->name, "r");
  EXPECT_FALSE(made->symmetric);
  EXPECT_EQ(database.getRelation("r"), made);
  EXPECT_TRUE(database.containsRelation("r"));

  relate(*made, "A", "B");
  database.renameRelation("r", "s");
  EXPECT_FALSE(database.containsRelation("r"));
  EXPECT_EQ(database.getRelation("s"), made);
  EXPECT_EQ(made->name, "s");  // the relation carries its new name as well
  EXPECT_EQ(sorted(*made->getRelatedArtists("A")), names({"B"}));

  EXPECT_EQ(messageOf<InvalidKeyException>([&] { database.renameRelation("missing", "t"); }),
            "THashtable.reput: Key missing does not exists in map.");
  EXPECT_TRUE(database.removeRelation("s"));
  EXPECT_FALSE(database.removeRelation("s"));
  EXPECT_EQ(database.getRelationNames()->count(), 0);
}

TEST(ArtistRelationsTest, RenamingOntoAnotherRelationLosesNothing) {
  std::unique_ptr<TArtistRelations> database = sampleDatabase();
  EXPECT_EQ(messageOf<IllegalArgumentException>([&] { database->renameRelation("covers", "members"); }),
            "TArtistRelations.renameRelation: Relation members already exists.");
  EXPECT_EQ(sorted(*database->getRelation("covers")->getRelatedArtists("A")), names({"X"}));
  EXPECT_EQ(sorted(*database->getRelation("members")->getRelatedArtists("A")), names({"B"}));
  database->renameRelation("covers", "covers");
  EXPECT_EQ(database->getRelation("covers")->name, "covers");
}

class ArtistRelationsFileTest : public testing::Test {
 protected:
  std::string path(const std::string& name) { return dir.file(name); }
  testutil::TempDir dir;
};

std::string tableOf(const std::string& entries, int32_t count) {
  return object("TStringtable", object("THashSet", object("TArrayList", le32(count) + entries)));
}
std::string entry(const std::string& valueObject, const std::string& key) {
  return object("TMapEntry", le32(1) + valueObject + le32(1) + object("TString", str(key)));
}
std::string stringSet(const std::string& name) {
  return object("TStringSet", object("TArrayList", le32(1) + object("TString", str(name))));
}
std::string relationObject(const std::string& name, char symmetric, const std::string& table) {
  return object("TArtistRelation", str(name) + std::string(1, symmetric) + table);
}

TEST_F(ArtistRelationsFileTest, BinaryFileIsHeaderAndTable) {
  TArtistRelations database;
  TArtistRelation* relation = database.getRelation("R");
  relation->symmetric = true;
  relate(*relation, "A", "B");
  database.store(path("rel.bin"));
  const std::string relationTable = tableOf(entry(stringSet("B"), "A"), 1);
  EXPECT_EQ(testutil::readFile(path("rel.bin")),
            kHeader + block(tableOf(entry(relationObject("R", '\1', relationTable), "R"), 1)));
}

TEST_F(ArtistRelationsFileTest, BinaryRoundTripReplacesWhatWasHeld) {
  std::unique_ptr<TArtistRelations> database = sampleDatabase();
  database->getRelation("covers")->enabled = false;
  database->store(path("rel.bin"));
  TArtistRelations read;
  relate(*read.getRelation("old"), "O", "P");
  read.load(path("rel.bin"));
  expectSameDatabase(*database, read);
  EXPECT_FALSE(read.containsRelation("old"));
  EXPECT_TRUE(read.getRelation("covers")->enabled);
  EXPECT_TRUE(read.relations->getOwnsObjects());
  EXPECT_TRUE(read.getRelation("members")->artists->getOwnsObjects());
}

TEST_F(ArtistRelationsFileTest, BinaryFirstOfARepeatedNameWins) {
  const std::string firstTable = tableOf(entry(stringSet("B"), "A") + entry(stringSet("C"), "A"), 2);
  const std::string secondTable = tableOf(entry(stringSet("Y"), "X"), 1);
  // Any byte other than 0 reads as true.
  testutil::writeFile(path("rel.bin"),
                      kHeader + block(tableOf(entry(relationObject("R", '\7', firstTable), "R") +
                                                  entry(relationObject("R", '\0', secondTable), "R"),
                                              2)));
  TArtistRelations read;
  read.load(path("rel.bin"));
  EXPECT_EQ(read.getRelationNames()->strings(), names({"R"}));
  TArtistRelation* relation = read.getRelation("R");
  EXPECT_TRUE(relation->symmetric);
  EXPECT_EQ(relation->getArtists()->strings(), names({"A"}));
  EXPECT_EQ(sorted(*relation->getRelatedArtists("A")), names({"B"}));
}

TEST_F(ArtistRelationsFileTest, BinaryContentOfTheWrongKindIsRefused) {
  auto loadError = [&](const std::string& content) {
    testutil::writeFile(path("rel.bin"), kHeader + block(content));
    TArtistRelations read;
    return messageOf<IOException>([&] { read.load(path("rel.bin")); });
  };
  EXPECT_EQ(loadError(object("TArrayList", le32(1) + object("TString", str("x")))),
            "TArtistRelations.read: Object is no TStringtable.");
  EXPECT_EQ(loadError(tableOf(entry(object("TString", str("x")), "R"), 1)),
            "TArtistRelations.read: Illegal relation: TString.");
  // Inside a relation, each level of the table wraps the relation's own failure.
  const std::string wrapped =
      "TFile.readTPObject: (IOException) TFile.readTPObject: (IOException) "
      "TFile.readTPObject: (IOException) TFile.readTPObject: (IOException) "
      "TFile.readTPObject: (IOException) ";
  EXPECT_EQ(
      loadError(tableOf(
          entry(relationObject("R", '\0', tableOf(entry(object("TString", str("B")), "A"), 1)), "R"), 1)),
      wrapped + "TArtistRelation.read: Illegal artist set: TString.");
  const std::string setOfNumbers =
      object("TStringSet", object("TArrayList", le32(1) + object("TInteger", le32(4))));
  EXPECT_EQ(
      loadError(tableOf(entry(relationObject("R", '\0', tableOf(entry(setOfNumbers, "A"), 1)), "R"), 1)),
      wrapped + "TArtistRelation.read: Illegal artist: TInteger.");
  EXPECT_EQ(loadError(tableOf(
                entry(relationObject("R", '\0', object("THashSet", object("TArrayList", le32(0)))), "R"), 1)),
            wrapped + "TArtistRelation.read: Object is no TStringtable.");
  const std::string numberKey =
      object("TMapEntry", le32(1) + stringSet("B") + le32(1) + object("TInteger", le32(4)));
  EXPECT_EQ(loadError(tableOf(entry(relationObject("R", '\0', tableOf(numberKey, 1)), "R"), 1)),
            wrapped + "TArtistRelation.read: Illegal key: TInteger.");
}

TEST_F(ArtistRelationsFileTest, XmlFormAndRoundTrip) {
  TArtistRelations database;
  TArtistRelation* relation = database.getRelation("R&D");
  relation->symmetric = true;
  relate(*relation, "A", "B");
  relation->getRelatedArtists("Empty");
  database.storeXML(path("rel.xml"));
  EXPECT_EQ(testutil::readFile(path("rel.xml")),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
            "<VOSKO VERSION=\"[Application:Vosko.Type:ArtistRelations-Database.Version:0.5]\">"
            "<ARTISTRELATION NAME=\"R&#38;D\" SYMMETRIC=\"true\">"
            "<FIRSTARTIST NAME=\"A\"><SECONDARTIST NAME=\"B\"></SECONDARTIST></FIRSTARTIST>"
            "<FIRSTARTIST NAME=\"Empty\"></FIRSTARTIST>"
            "</ARTISTRELATION></VOSKO>\r\n");

  std::unique_ptr<TArtistRelations> sample = sampleDatabase();
  relate(*sample->getRelation("members"), "M\xF6rk", "\xC4rger");
  sample->storeXML(path("sample.xml"));
  TArtistRelations read;
  relate(*read.getRelation("old"), "O", "P");
  read.loadXML(path("sample.xml"));
  expectSameDatabase(*sample, read);
  EXPECT_FALSE(read.containsRelation("old"));
}

TEST_F(ArtistRelationsFileTest, XmlFirstOfARepeatedNameWins) {
  testutil::writeFile(
      path("rel.xml"),
      "<VOSKO VERSION='" + kHeader +
          "'>"
          "<ARTISTRELATION NAME='R' SYMMETRIC='FALSE'>"
          "<FIRSTARTIST NAME='A'><SECONDARTIST NAME='B'/><X><SECONDARTIST NAME='C'/></X></FIRSTARTIST>"
          "<FIRSTARTIST NAME='A'><SECONDARTIST NAME='D'/></FIRSTARTIST>"
          "</ARTISTRELATION>"
          "<GROUP><ARTISTRELATION NAME='R' SYMMETRIC='true'/></GROUP>"
          "<ARTISTRELATION NAME='S' SYMMETRIC='True'/>"
          "</VOSKO>");
  TArtistRelations read;
  read.loadXML(path("rel.xml"));
  std::vector<std::string> relationNames = read.getRelationNames()->strings();
  std::sort(relationNames.begin(), relationNames.end());
  EXPECT_EQ(relationNames, names({"R", "S"}));
  TArtistRelation* relation = read.getRelation("R");
  EXPECT_FALSE(relation->symmetric);
  EXPECT_EQ(relation->getArtists()->strings(), names({"A"}));
  EXPECT_EQ(sorted(*relation->getRelatedArtists("A")), names({"B", "C"}));
  EXPECT_TRUE(read.getRelation("S")->symmetric);
}

TEST_F(ArtistRelationsFileTest, XmlFailures) {
  auto loadError = [&](const std::string& xml) {
    testutil::writeFile(path("rel.xml"), xml);
    TArtistRelations read;
    return messageOf<IOException>([&] { read.loadXML(path("rel.xml")); });
  };
  EXPECT_EQ(loadError("<RELATIONS VERSION='" + kHeader + "'/>"),
            kLoadPrefix + "(EDomException) Illegal base tag for a relations database.");
  std::string otherVersion = kHeader;
  otherVersion[otherVersion.size() - 2] = '6';
  EXPECT_EQ(loadError("<VOSKO VERSION='" + otherVersion + "'/>"),
            kLoadPrefix + "(EDomException) Illegal version of relations database.");
  EXPECT_EQ(loadError("<VOSKO VERSION='1.1.0'/>"),
            kLoadPrefix + "(EDomException) Illegal version of relations database.");
  EXPECT_EQ(loadError("<VOSKO VERSION='" + kHeader + "'><ARTISTRELATION NAME='R' SYMMETRIC='yes'/></VOSKO>"),
            kLoadPrefix + "(ParserException) TBoolean.fromString: No such boolean value: 'yes'.");
  EXPECT_EQ(loadError("<VOSKO VERSION='" + kHeader + "'><ARTISTRELATION NAME='R'/></VOSKO>"),
            kLoadPrefix + "(ParserException) TBoolean.fromString: No such boolean value: ''.");

  std::unique_ptr<TDomDocument> document = modeltest::parse("<RELATION/>");
  TArtistRelation relation;
  EXPECT_EQ(messageOf<EDomException>([&] { relation.fromXML(document->documentElement()); }),
            "Illegal base tag for a vosko artist relation.");
}

}  // namespace
