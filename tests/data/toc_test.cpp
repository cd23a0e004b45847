// Tables of contents: numbering, display texts, the binary content and the
// XML form of TTOCTrack, TTOCData and TTOCList.
#include <gtest/gtest.h>

#include "basis/exceptions.h"
#include "basis/expect_message.h"
#include "basis/file.h"
#include "data/toc_data.h"
#include "data/toc_list.h"
#include "data/toc_track.h"
#include "model_test_util.h"
#include "test_util.h"
#include "xml/dom_exception.h"

using modeltest::block;
using modeltest::object;
using testutil::le32;
using testutil::str;

namespace {

std::unique_ptr<TTOCTrack> track(int32_t m, int32_t s, int32_t f, bool audio = true, int32_t number = 0) {
  auto t = std::make_unique<TTOCTrack>();
  t->minutes = m;
  t->seconds = s;
  t->frames = f;
  t->isAudioTrack = audio;
  t->trackNumber = number;
  return t;
}

void addTrack(TTOCData& toc, std::unique_ptr<TTOCTrack> t) { toc.add(std::move(t)); }

std::string trackBytes(int32_t m, int32_t s, int32_t f, int32_t number, bool audio) {
  return object("TTOCTrack",
                le32(m) + le32(s) + le32(f) + le32(number) + std::string(1, audio ? '\1' : '\0'));
}

// A "TOC" element read into a new table.
std::unique_ptr<TTOCData> tocFromXml(const std::string& xml) {
  std::unique_ptr<TDomDocument> document = modeltest::parse(xml);
  auto toc = std::make_unique<TTOCData>();
  toc->fromXML(document->documentElement());
  return toc;
}

std::string tocXmlError(const std::string& xml) {
  return messageOf<EDomException>([&] { tocFromXml(xml); });
}

TEST(TocTest, NewTableShowsNoTracksAndEightZeros) {
  TTOCData toc;
  EXPECT_EQ(toc.toString(), "TTOCData: (0) 00000000");
  ASSERT_TRUE(toc.leadOut);
  EXPECT_TRUE(toc.getOwnsObjects());
  toc.discId = 0xA00B0C1F;
  addTrack(toc, track(0, 2, 0));
  EXPECT_EQ(toc.toString(), "TTOCData: (1) a00b0c1f");
}

TEST(TocTest, TrackTextHasTabsAndNoPadding) {
  EXPECT_EQ(track(3, 4, 5, false, 2)->toString(), "TTOCTrack:\t(2)\t3:4:5\tfalse");
  TTOCTrack fresh;
  EXPECT_EQ(fresh.toString(), "TTOCTrack:\t(0)\t0:0:0\ttrue");
}

TEST(TocTest, AddNumbersTracksByPositionWhateverTheyCarried) {
  TTOCData toc;
  addTrack(toc, track(0, 2, 0, true, 9));
  addTrack(toc, track(4, 0, 0, true, 9));
  EXPECT_EQ(toc.add(track(8, 0, 0, true, -3).release()), 2);
  for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(toc.getTrack(i)->trackNumber, i);
}

TEST(TocTest, AddOfSomethingElseFails) {
  TTOCData toc;
  TTOCData notATrack;
  EXPECT_EQ(messageOf<IllegalArgumentException>([&] { toc.add(&notATrack); }),
            "TTOCTrack.add: No TTOCTrack instance.");
  EXPECT_EQ(messageOf<IllegalArgumentException>([&] { toc.add(nullptr); }),
            "TTOCTrack.add: No TTOCTrack instance.");
  TTOCList list;
  TTOCTrack notAToc;
  EXPECT_EQ(messageOf<IllegalArgumentException>([&] { list.add(&notAToc); }),
            "TTOCList.add: object not assigned or no TTOCData.");
  EXPECT_EQ(toc.size(), 0);
  EXPECT_EQ(list.size(), 0);
}

TEST(TocTest, InitializeKeepsTracksAndRenewsLeadOut) {
  TTOCData toc;
  toc.discId = 5;
  toc.leadOut->minutes = 70;
  addTrack(toc, track(1, 0, 0));
  toc.initialize();
  EXPECT_EQ(toc.discId, 0u);
  EXPECT_EQ(toc.leadOut->minutes, 0);
  EXPECT_EQ(toc.size(), 1);
}

TEST(TocTest, BinaryTableIsDiscIdLeadOutAndTracks) {
  testutil::TempDir dir;
  TTOCData toc;
  toc.discId = 4294967295u;
  toc.leadOut = track(70, 1, 2, true, 0);
  addTrack(toc, track(0, 2, 0));
  addTrack(toc, track(5, 30, 74, false));
  toc.store(dir.file("toc.bin"));
  std::string content = le32(-1) + trackBytes(70, 1, 2, 0, true) + le32(2) + trackBytes(0, 2, 0, 0, true) +
                        trackBytes(5, 30, 74, 1, false);
  EXPECT_EQ(testutil::readFile(dir.file("toc.bin")), block(content));

  TTOCData read;
  read.load(dir.file("toc.bin"));
  modeltest::expectSameToc(toc, read);
}

TEST(TocTest, TableReadFromFileRenumbersTracksByPosition) {
  testutil::TempDir dir;
  std::string content = le32(7) + trackBytes(1, 2, 3, 44, true) + le32(2) + trackBytes(0, 2, 0, 7, true) +
                        trackBytes(3, 0, 0, 7, true);
  // A boolean byte other than 0 reads as true.
  content[content.size() - 1] = '\x05';
  testutil::writeFile(dir.file("toc.bin"), block(content));
  TTOCData read;
  read.load(dir.file("toc.bin"));
  EXPECT_EQ(read.discId, 7u);
  EXPECT_EQ(read.leadOut->trackNumber, 44);
  ASSERT_EQ(read.size(), 2);
  EXPECT_EQ(read.getTrack(0)->trackNumber, 0);
  EXPECT_EQ(read.getTrack(1)->trackNumber, 1);
  EXPECT_TRUE(read.getTrack(1)->isAudioTrack);
}

TEST(TocTest, TableWithoutLeadOutIsNotWritten) {
  testutil::TempDir dir;
  TTOCData toc;
  toc.leadOut.reset();
  EXPECT_EQ(messageOf<IOException>([&] { toc.store(dir.file("toc.bin")); }),
            "TTOCData.write: No lead out assigned.");
  EXPECT_TRUE(dir.entries().empty());
  std::unique_ptr<TDomDocument> document = modeltest::newDocument();
  EXPECT_EQ(messageOf<IOException>([&] { toc.toXML(document.get()); }),
            "TTOCData.toXML: No lead out assigned.");
}

TEST(TocTest, StoredLeadOutOfAnotherClassIsRefused) {
  testutil::TempDir dir;
  std::string content =
      le32(7) + object("TTOCData", le32(0) + trackBytes(0, 0, 0, 0, true) + le32(0)) + le32(0);
  testutil::writeFile(dir.file("toc.bin"), block(content));
  TTOCData read;
  EXPECT_EQ(messageOf<IOException>([&] { read.load(dir.file("toc.bin")); }),
            "TTOCData.read: Lead out is no TTOCTrack.");
}

TEST(TocTest, TrackInTheTrackListOfAnotherClassIsRefused) {
  testutil::TempDir dir;
  std::string content = le32(7) + trackBytes(0, 0, 0, 0, true) + le32(1) +
                        object("TTOCData", le32(0) + trackBytes(0, 0, 0, 0, true) + le32(0));
  testutil::writeFile(dir.file("toc.bin"), block(content));
  TTOCData read;
  EXPECT_EQ(messageOf<IllegalArgumentException>([&] { read.load(dir.file("toc.bin")); }),
            "TTOCTrack.add: No TTOCTrack instance.");
}

TEST(TocTest, XmlFormHasAttributesInOrderAndLeadOutFirst) {
  TTOCData toc;
  toc.discId = 4294967295u;
  toc.leadOut = track(70, 1, 2);
  addTrack(toc, track(0, 2, 0, false));
  EXPECT_EQ(modeltest::xmlOf(toc),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
            "<TOC DISCID=\"4294967295\">"
            "<TOCTRACK MINUTES=\"70\" SECONDS=\"1\" FRAMES=\"2\" TRACKNUMBER=\"0\" "
            "ISAUDIOTRACK=\"true\"></TOCTRACK>"
            "<TOCTRACK MINUTES=\"0\" SECONDS=\"2\" FRAMES=\"0\" TRACKNUMBER=\"0\" "
            "ISAUDIOTRACK=\"false\"></TOCTRACK>"
            "</TOC>\r\n");
}

TEST(TocTest, XmlKeepsTrackNumbersOfTheFileAndFirstTrackIsLeadOut) {
  std::unique_ptr<TTOCData> toc = tocFromXml(
      "<TOC DISCID='4294967295'>"
      "<TOCTRACK MINUTES='70' SECONDS='1' FRAMES='2' TRACKNUMBER='99' ISAUDIOTRACK='TRUE'/>"
      "<X><TOCTRACK MINUTES='0' SECONDS='2' FRAMES='0' TRACKNUMBER='5' ISAUDIOTRACK='False'/></X>"
      "</TOC>");
  EXPECT_EQ(toc->discId, 4294967295u);
  EXPECT_EQ(toc->leadOut->minutes, 70);
  EXPECT_EQ(toc->leadOut->trackNumber, 99);
  ASSERT_EQ(toc->size(), 1);
  EXPECT_EQ(toc->getTrack(0)->trackNumber, 5);
  EXPECT_FALSE(toc->getTrack(0)->isAudioTrack);
}

TEST(TocTest, XmlWithOneTrackHasOnlyALeadOutAndWithoutTracksKeepsTheDefault) {
  std::unique_ptr<TTOCData> one = tocFromXml(
      "<TOC DISCID='1'><TOCTRACK MINUTES='3' SECONDS='0' FRAMES='0' TRACKNUMBER='0' "
      "ISAUDIOTRACK='true'/></TOC>");
  EXPECT_EQ(one->leadOut->minutes, 3);
  EXPECT_EQ(one->size(), 0);
  std::unique_ptr<TTOCData> none = tocFromXml("<TOC DISCID='0'/>");
  ASSERT_TRUE(none->leadOut);
  EXPECT_EQ(none->leadOut->minutes, 0);
  EXPECT_TRUE(none->leadOut->isAudioTrack);
}

TEST(TocTest, XmlReplacesTheTracksHeld) {
  std::unique_ptr<TDomDocument> document = modeltest::parse(
      "<TOC DISCID='2'><TOCTRACK MINUTES='3' SECONDS='0' FRAMES='0' TRACKNUMBER='0' "
      "ISAUDIOTRACK='true'/></TOC>");
  TTOCData toc;
  addTrack(toc, track(1, 1, 1));
  toc.fromXML(document->documentElement());
  EXPECT_EQ(toc.size(), 0);
}

TEST(TocTest, XmlFailuresAreWrappedByEachLevel) {
  EXPECT_EQ(
      tocXmlError("<TOCS DISCID='1'/>"),
      "TTOCData.fromXML: (EDomException) TTOCData.fromXML: Illegal base tag for a TOC track collection.");
  EXPECT_EQ(
      tocXmlError("<TOC/>"),
      "TTOCData.fromXML: (EDomException) TTOCData.fromXML: Illegal disc ID: '' is not a valid integer value");
  EXPECT_EQ(
      tocXmlError("<TOC DISCID='4294967296'/>"),
      "TTOCData.fromXML: (EDomException) TTOCData.fromXML: Illegal disc ID: '4294967296' is not a valid "
      "integer value");
  EXPECT_EQ(tocXmlError("<TOC DISCID='-1'/>"),
            "TTOCData.fromXML: (EDomException) TTOCData.fromXML: Illegal disc ID: '-1' is not a valid "
            "integer value");
  EXPECT_EQ(
      tocXmlError("<TOC DISCID='1'><TOCTRACK MINUTES='1' SECONDS='x' FRAMES='0' TRACKNUMBER='0' "
                  "ISAUDIOTRACK='true'/></TOC>"),
      "TTOCData.fromXML: (EDomException) TTOCTrack.fromXML: (EDomException) Illegal number: 'x' is not a "
      "valid integer value");
  EXPECT_EQ(
      tocXmlError("<TOC DISCID='1'><TOCTRACK MINUTES='1' SECONDS='1' FRAMES='0' "
                  "ISAUDIOTRACK='true'/></TOC>"),
      "TTOCData.fromXML: (EDomException) TTOCTrack.fromXML: (EDomException) Illegal number: '' is not a "
      "valid integer value");
  EXPECT_EQ(
      tocXmlError("<TOC DISCID='1'><TOCTRACK MINUTES='1' SECONDS='1' FRAMES='0' TRACKNUMBER='0' "
                  "ISAUDIOTRACK='yes'/></TOC>"),
      "TTOCData.fromXML: (EDomException) TTOCTrack.fromXML: (ParserException) TBoolean.fromString: No such "
      "boolean value: 'yes'.");
}

TEST(TocTest, TrackWithBadAudioFlagKeepsItsFlag) {
  std::unique_ptr<TDomDocument> document =
      modeltest::parse("<TOCTRACK MINUTES='1' SECONDS='2' FRAMES='3' TRACKNUMBER='4' ISAUDIOTRACK=''/>");
  TTOCTrack t;
  t.isAudioTrack = false;
  EXPECT_EQ(messageOf<EDomException>([&] { t.fromXML(document->documentElement()); }),
            "TTOCTrack.fromXML: (ParserException) TBoolean.fromString: No such boolean value: ''.");
  EXPECT_FALSE(t.isAudioTrack);
  std::unique_ptr<TDomDocument> wrong = modeltest::parse("<TRACK/>");
  EXPECT_EQ(messageOf<EDomException>([&] { t.fromXML(wrong->documentElement()); }),
            "TTOCTrack.fromXML: (EDomException) Illegal base tag for a vosko toc track.");
}

TEST(TocTest, TocListXmlRoundTripAndFailures) {
  TTOCList list;
  auto first = std::make_unique<TTOCData>();
  first->discId = 17;
  addTrack(*first, track(0, 2, 0));
  list.add(first.release());
  list.add(new TTOCData());
  std::unique_ptr<TDomDocument> document = modeltest::newDocument();
  document->appendChild(list.toXML(document.get()));
  EXPECT_EQ(
      modeltest::bytesOf(*document),
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
      "<TOCS><TOC DISCID=\"17\">"
      "<TOCTRACK MINUTES=\"0\" SECONDS=\"0\" FRAMES=\"0\" TRACKNUMBER=\"0\" ISAUDIOTRACK=\"true\"></TOCTRACK>"
      "<TOCTRACK MINUTES=\"0\" SECONDS=\"2\" FRAMES=\"0\" TRACKNUMBER=\"0\" ISAUDIOTRACK=\"true\"></TOCTRACK>"
      "</TOC><TOC DISCID=\"0\">"
      "<TOCTRACK MINUTES=\"0\" SECONDS=\"0\" FRAMES=\"0\" TRACKNUMBER=\"0\" ISAUDIOTRACK=\"true\"></TOCTRACK>"
      "</TOC></TOCS>\r\n");
  TTOCList read;
  read.add(new TTOCData());
  read.fromXML(document->documentElement());
  ASSERT_EQ(read.size(), 2);
  modeltest::expectSameToc(*list.getTOC(0), *read.getTOC(0));
  modeltest::expectSameToc(*list.getTOC(1), *read.getTOC(1));

  std::unique_ptr<TDomDocument> wrong = modeltest::parse("<TITLES/>");
  EXPECT_EQ(messageOf<EDomException>([&] { read.fromXML(wrong->documentElement()); }),
            "TTOCList.fromXML: (EDomException) Illegal base tag for toc list: TITLES");
  std::unique_ptr<TDomDocument> bad = modeltest::parse("<TOCS><TOC/></TOCS>");
  EXPECT_EQ(
      messageOf<EDomException>([&] { read.fromXML(bad->documentElement()); }),
      "TTOCList.fromXML: (EDomException) TTOCData.fromXML: (EDomException) TTOCData.fromXML: Illegal disc "
      "ID: '' is not a valid integer value");
}

}  // namespace
