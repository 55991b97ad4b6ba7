#!/usr/bin/python3
"""Reads the DAW/notation exports back with readers of their own: mido for
the MIDI files, xmllint and ElementTree for MusicXML, and compares them
with the working MIDI file the same piece composes to.

usage: check_exchange_exports.py TESSAVAR_CLI DEFAULT.TVX
"""
import collections
import io
import os
import shutil
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree
import zipfile

import mido

CLI, DEFAULT = sys.argv[1], sys.argv[2]
STEPS = {'C': 0, 'D': 2, 'E': 4, 'F': 5, 'G': 7, 'A': 9, 'B': 11}


def run(*words, status=0):
    done = subprocess.run([CLI, *words], capture_output=True, text=True)
    assert done.returncode == status, (words, done.returncode, done.stderr)
    return done


def midi_notes(path):
    """Per track: the notes (pitch, start, length, channel) as a MIDI
    player pairs them, and how many note-offs closed nothing."""
    tracks = []
    for track in mido.MidiFile(path).tracks:
        now, notes, stray = 0, [], 0
        sounding = collections.defaultdict(collections.deque)
        for message in track:
            now += message.time
            if message.type == 'note_on' and message.velocity > 0:
                sounding[(message.channel, message.note)].append(now)
            elif message.type in ('note_on', 'note_off'):
                starts = sounding[(message.channel, message.note)]
                if not starts:
                    stray += 1
                    continue
                start = starts.popleft()
                notes.append((message.note, start, now - start,
                              message.channel))
        tracks.append((sorted(notes), stray))
    return tracks


def meta(path, kind):
    return [message for track in mido.MidiFile(path).tracks
            for message in track if message.type == kind]


def sounding_tracks(path):
    return [notes for notes, _ in midi_notes(path) if notes]


def read_score(path):
    """Per part: its name and its notes (pitch, start, length) with tied
    values joined; every measure must add up to a whole bar."""
    root = ElementTree.parse(path).getroot()
    names = {part.get('id'): part.findtext('part-name')
             for part in root.iter('score-part')}
    parts = []
    for part in root.iter('part'):
        bar = now = 0
        notes, open_ties = [], {}
        for measure in part.iter('measure'):
            attributes = measure.find('attributes')
            if attributes is not None and attributes.find('time') is not None:
                divisions = int(attributes.findtext('divisions'))
                beats = int(attributes.findtext('time/beats'))
                unit = int(attributes.findtext('time/beat-type'))
                bar = divisions * 4 * beats // unit
            filled = 0
            for note in measure.iter('note'):
                length = int(note.findtext('duration'))
                ties = {tie.get('type') for tie in note.findall('tie')}
                pitch = note.find('pitch')
                if pitch is not None:
                    key = (STEPS[pitch.findtext('step')] +
                           int(pitch.findtext('alter') or 0) +
                           12 * (int(pitch.findtext('octave')) + 1))
                    if 'stop' in ties:
                        index = open_ties.pop(key)
                        pitch_, start, before = notes[index]
                        assert start + before == now, (key, now)
                        notes[index] = (pitch_, start, before + length)
                    else:
                        notes.append((key, now, length))
                    if 'start' in ties:
                        open_ties[key] = len(notes) - 1
                now += length
                filled += length
            assert filled == bar, (part.get('id'), measure.get('number'),
                                   filled, bar)
        assert not open_ties, open_ties
        parts.append((names[part.get('id')], sorted(notes)))
    return root, parts


class ExchangeExportTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.mkdtemp()
        # The factory default, and two long pieces in a major and a minor
        # key (written with their compositions beside them).
        cls.pieces = {}
        for name, settings in (
                ('Default', []),
                ('Long Major', ['--tonality', '1', '--tracks', '16',
                                '--structure', '9182736450918273',
                                '--mapping', '77']),
                ('Long Minor', ['--tonality', '2', '--tracks', '12',
                                '--variation', '10', '--mapping', '1234'])):
            base = os.path.join(cls.dir, name)
            run('compose', DEFAULT, *settings, '-o', base + '.mid',
                '--save-composition', base + '.tvx', '--info', name + ' info')
            cls.pieces[name] = base

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.dir)

    def test_exchange_midi_keeps_the_notes_and_names_the_music(self):
        for name, base in self.pieces.items():
            with self.subTest(piece=name):
                out = base + ' exchange.mid'
                run('export-midi', base + '.mid', out)
                working = sounding_tracks(base + '.mid')
                exchange = midi_notes(out)
                self.assertEqual(mido.MidiFile(out).type, 1)
                self.assertEqual([n for n, _ in exchange[1:]], working)
                self.assertEqual([s for _, s in exchange], [0] * len(exchange))
                names = [m.name for m in meta(out, 'track_name')]
                self.assertEqual(names[0], name)
                self.assertTrue(all(n and not n.startswith('Track ')
                                    for n in names[1:]), names)
                time = meta(out, 'time_signature')
                self.assertEqual([(t.numerator, t.denominator) for t in time],
                                 [(4, 4)])
                tempo = meta(out, 'set_tempo')[0].tempo
                self.assertEqual(tempo, meta(base + '.mid', 'set_tempo')[0].tempo)
                # The same piece from its composition: the same file.
                again = base + ' again.mid'
                run('export-midi', base + '.tvx', again)
                with open(out, 'rb') as a, open(again, 'rb') as b:
                    self.assertEqual(a.read(), b.read())
        keys = {n: meta(b + ' exchange.mid', 'key_signature')[0].key
                for n, b in self.pieces.items()}
        self.assertEqual(keys['Default'], 'C')  # chromatic: no key
        self.assertFalse(keys['Long Major'].endswith('m'), keys)
        self.assertTrue(keys['Long Minor'].endswith('m'), keys)

    def test_humanized_midi_varies_only_a_little_and_repeats(self):
        base = self.pieces['Default']
        files = []
        for seed in ('7', '7', '8'):
            files.append(f'{base} human {len(files)}.mid')
            run('export-midi', base + '.mid', files[-1], '--humanize', seed)
        with open(files[0], 'rb') as a, open(files[1], 'rb') as b:
            self.assertEqual(a.read(), b.read())
        plain = sounding_tracks(base + '.mid')
        for path in files[::2]:
            human = [n for n, _ in midi_notes(path)[1:]]
            moved = 0
            for track, varied in zip(plain, human):
                self.assertEqual(len(track), len(varied))
                by_start = lambda note: note[1]  # noqa: E731
                for (pitch, start, length, channel), after in zip(
                        sorted(track, key=by_start),
                        sorted(varied, key=by_start)):
                    self.assertEqual((after[0], after[3]), (pitch, channel))
                    self.assertEqual(after[1] + after[2], start + length)
                    self.assertTrue(0 <= after[1] - start <= 3)
                    moved += after[1] != start
            self.assertGreater(moved, 0)
        self.assertNotEqual(midi_notes(files[0]), midi_notes(files[2]))

    def test_music_xml_adds_up_to_the_notes_and_to_whole_bars(self):
        for name, base in self.pieces.items():
            with self.subTest(piece=name):
                out = base + '.musicxml'
                run('export-xml', base + '.tvx', out)
                subprocess.run(['xmllint', '--noout', out], check=True)
                root, parts = read_score(out)
                working = sounding_tracks(base + '.mid')
                self.assertEqual(
                    [notes for _, notes in parts],
                    [sorted((p, s, l) for p, s, l, _ in t) for t in working])
                run('export-midi', base + '.mid', base + ' names.mid')
                self.assertEqual(
                    [n for n, _ in parts],
                    [m.name for m in meta(base + ' names.mid',
                                          'track_name')[1:]])
                credits = {c.findtext('credit-type'): c.findtext('credit-words')
                           for c in root.iter('credit')}
                self.assertEqual(credits, {'title': name,
                                           'subtitle': name + ' info'})
                packed = base + '.mxl'
                run('export-xml', base + '.mid', packed)
                with zipfile.ZipFile(packed) as archive:
                    first = archive.infolist()[0]
                    self.assertEqual((first.filename, first.compress_type),
                                     ('mimetype', zipfile.ZIP_STORED))
                    container = ElementTree.fromstring(
                        archive.read('META-INF/container.xml'))
                    score = container.find('rootfiles/rootfile').get('full-path')
                    with open(out, 'rb') as plain:
                        self.assertEqual(archive.read(score), plain.read())

    def test_bad_input_is_refused_and_nothing_is_replaced(self):
        base = self.pieces['Default']
        with open(base + '.mid', 'rb') as f:
            working = f.read()
        run('export-midi', base + '.mid', base + '.mid', status=2)
        run('export-xml', base + '.mid', base + '.txt', status=2)
        run('export-xml', base + ' none.mid', base + ' none.mxl', status=2)
        with open(base + '.mid', 'rb') as f:
            self.assertEqual(f.read(), working)
        self.assertFalse(os.path.exists(base + '.txt'))
        self.assertFalse(os.path.exists(base + ' none.mxl'))
        # A file without notes has nothing to export.
        silent = os.path.join(self.dir, 'silent.mid')
        empty = mido.MidiFile()
        empty.tracks.append(mido.MidiTrack())
        empty.save(silent)
        done = run('export-midi', silent, silent + '.out.mid', status=2)
        self.assertIn('no notes', done.stderr)


if __name__ == '__main__':
    unittest.main(argv=sys.argv[:1])
