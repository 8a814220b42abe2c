// Galleries written by pictorant-batch after a real thumbnail run, opened in headless
// Chromium and used as a person would: pictures load, links reach the originals, Prev and
// Next walk the pages, and the frames gallery shows the original in its pictures frame.
//
// PICTORANT_BATCH names the pictorant-batch program; CHROMIUM the browser (default
// /usr/bin/chromium).

import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';

const batch = process.env.PICTORANT_BATCH;
const browserPath = process.env.CHROMIUM || '/usr/bin/chromium';

// The originals, in selection order. The second and third names hold characters that
// break a page that writes names unescaped.
const originals = [
  'sea.jpg', "Ann's #1.jpg", 'caf\u00e9.jpg', 'p4.jpg', 'p5.jpg', 'p6.jpg', 'p7.jpg',
];

let work;      // temporary folder holding everything
let server;    // serves `work` over http, as a web server would serve a published gallery
let baseUrl;
let context;   // the browser, with a fresh profile
let profile;

function writeJpeg(file, index) {
  const [w, h] = [64 + 8 * index, 48];
  const header = Buffer.from(`P6\n${w} ${h}\n255\n`, 'ascii');
  const pixels = Buffer.alloc(w * h * 3);
  for (let i = 0; i < w * h; i++) {
    pixels[3 * i] = (40 * index) & 255;
    pixels[3 * i + 1] = (i % w) * 3 & 255;
    pixels[3 * i + 2] = 200 - 20 * index;
  }
  const ppm = path.join(work, `source${index}.ppm`);
  fs.writeFileSync(ppm, Buffer.concat([header, pixels]));
  const made = spawnSync('cjpeg', ['-quality', '85', '-outfile', file, ppm]);
  assert.equal(made.status, 0, `cjpeg: ${made.stderr}`);
}

// Pictorant.ini text for the gallery options that differ from the factory values.
function settingsText(sections) {
  return Object.entries(sections)
    .map(([name, keys]) =>
      `[${name}]\n` + Object.entries(keys).map(([k, v]) => `${k}=${v}\n`).join(''))
    .join('');
}

// A thumbnail run of `count` originals into `thumbs`, then the gallery at `page`; both
// default to the folder `name` under the work folder.
function runGallery(name, {
  thumbs = path.join(work, name, 'thumbs'), page = path.join(work, name, 'MyWeb.htm'),
  count = 3, settings = {}, extra = [],
} = {}) {
  const ini = path.join(work, `${name}.ini`);
  fs.writeFileSync(ini, settingsText(settings));
  fs.mkdirSync(thumbs, { recursive: true });
  fs.mkdirSync(path.dirname(page), { recursive: true });
  return spawnSync(batch, [
    'thumbnails', '--input', path.join(work, 'pics'), '--output', thumbs,
    '--width', '40', '--height', '40', '--ratio', '--settings', ini,
    '--gallery', page, ...extra, ...originals.slice(0, count),
  ], { encoding: 'utf8' });
}

function makeGallery(name, options) {
  const result = runGallery(name, options);
  assert.equal(result.status, 0, `pictorant-batch failed:\n${result.stdout}\n${result.stderr}`);
  return result.stdout;
}

function urlOf(file) {
  const relative = path.relative(work, file).split(path.sep).map(encodeURIComponent).join('/');
  return `${baseUrl}/${relative}`;
}

// Widths of every picture of the page once all have settled: 0 for one that failed.
async function pictureWidths(frame) {
  return frame.evaluate(async () => {
    const images = [...document.images];
    await Promise.all(images.map((img) => img.complete ? null
      : new Promise((done) => { img.onload = img.onerror = done; })));
    return images.map((img) => img.naturalWidth);
  });
}

async function expectAllPicturesLoad(frame, count) {
  const widths = await pictureWidths(frame);
  assert.equal(widths.length, count, 'number of pictures');
  widths.forEach((w, i) => assert.ok(w > 0, `picture ${i} did not load (${frame.url()})`));
}

// After following a link to an original: the browser shows that picture.
async function expectShowsOriginal(frame, name) {
  const url = decodeURIComponent(frame.url());
  assert.ok(url.endsWith('/pics/' + name), `showing ${url}, not ${name}`);
  const widths = await pictureWidths(frame);
  assert.equal(widths.length, 1);
  assert.ok(widths[0] > 0, `original ${name} did not load`);
}

// Clicks thumbnail `index` of a page without frames: the browser shows original `name`.
async function followToOriginal(page, index, name) {
  const from = page.url();
  await page.locator('td a img').nth(index).click();
  await page.waitForURL((u) => u.href !== from);
  await expectShowsOriginal(page.mainFrame(), name);
}

// The same in a frameset: the original opens in the pictures frame.
async function followInFrames({ thumbs, pics }, index, name) {
  await thumbs.locator('td > a > img').nth(index).click();
  await pics.waitForURL((u) => u.pathname.endsWith('.jpg'));
  await expectShowsOriginal(pics, name);
}

// The address of the picture tiled behind the pictures frame, once there is one.
async function tiledBackground(pics) {
  const background = await pics.waitForFunction(() => {
    const b = document.body && getComputedStyle(document.body).backgroundImage;
    return b && b !== 'none' ? b : null;
  });
  return (await background.jsonValue()).replace(/^url\("?|"?\)$/g, '');
}

before(async () => {
  assert.ok(batch && fs.existsSync(batch), 'PICTORANT_BATCH must name pictorant-batch');
  work = fs.mkdtempSync(path.join(os.tmpdir(), 'pictorant-browser-'));
  fs.mkdirSync(path.join(work, 'pics'));
  originals.forEach((name, i) => writeJpeg(path.join(work, 'pics', name), i));

  server = http.createServer((req, res) => {
    const file = path.join(work, decodeURIComponent(new URL(req.url, 'http://x').pathname));
    if (!file.startsWith(work) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
      res.writeHead(404).end();
      return;
    }
    const type = file.endsWith('.jpg') ? 'image/jpeg' : 'text/html';
    res.writeHead(200, { 'Content-Type': type }).end(fs.readFileSync(file));
  });
  await new Promise((done) => server.listen(0, '127.0.0.1', done));
  baseUrl = `http://127.0.0.1:${server.address().port}`;

  profile = fs.mkdtempSync(path.join(os.tmpdir(), 'pictorant-chromium-'));
  context = await chromium.launchPersistentContext(profile, {
    executablePath: browserPath,
    headless: true,
    args: [
      '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
    ],
  });
  // a page that never shows what it should fails in seconds, not in minutes
  context.setDefaultTimeout(10000);
});

after(async () => {
  await context?.close();
  await new Promise((done) => (server ? server.close(done) : done()));
  for (const folder of [work, profile])
    if (folder) fs.rmSync(folder, { recursive: true, force: true });
});

async function openPage(url) {
  const page = await context.newPage();
  await page.goto(url);
  return page;
}

test('relative links: every thumbnail loads and a click reaches its original', async () => {
  const pageFile = path.join(work, 'relative', 'web', 'MyWeb.htm');
  const printed = makeGallery('relative', { page: pageFile });
  assert.equal(printed.trim().split('\n').pop(), pageFile);
  const html = fs.readFileSync(pageFile, 'latin1');
  assert.ok(html.includes('SRC="../thumbs/Thumb001.jpg"'));
  assert.ok(html.includes('HREF="../../pics/Ann%27s %231.jpg"'));

  const page = await openPage(urlOf(pageFile));
  await expectAllPicturesLoad(page, 3);
  for (const [index, name] of [[1, "Ann's #1.jpg"], [2, 'caf\u00e9.jpg']]) {
    await followToOriginal(page, index, name);
    await page.goBack();
  }
  // the linked file-name caption shows the name as it is
  assert.equal(await page.locator('td p a').nth(2).innerText(), 'caf\u00e9.jpg');
  await page.close();
});

test('generic links: pictures beside the page are addressed by bare name', async () => {
  const folder = path.join(work, 'pics');
  const pageFile = path.join(folder, 'Generic.htm');
  makeGallery('generic', {
    thumbs: folder, page: pageFile,
    settings: { Linking: { OriginalLinkOpt: 3, ThumbLinkOpt: 3 } },
  });
  assert.ok(fs.readFileSync(pageFile, 'latin1').includes('HREF="Ann%27s %231.jpg"'));
  const page = await openPage(urlOf(pageFile));
  await expectAllPicturesLoad(page, 3);
  await followToOriginal(page, 1, "Ann's #1.jpg");
  await page.close();
});

test('local links: file:// prefixes reach thumbnails and originals', async () => {
  const pageFile = path.join(work, 'local', 'MyWeb.htm');
  makeGallery('local', { settings: { Linking: { OriginalLinkOpt: 0, ThumbLinkOpt: 0 } } });
  const html = fs.readFileSync(pageFile, 'latin1');
  assert.ok(html.includes(`SRC="file://${path.join(work, 'local', 'thumbs')}/Thumb001.jpg"`));
  const page = await openPage(pathToFileURL(pageFile).href);
  await expectAllPicturesLoad(page, 3);
  await followToOriginal(page, 1, "Ann's #1.jpg");
  assert.ok(page.url().startsWith('file://'), page.url());
  await page.close();
});

test('a three-page gallery is walked with Next and Prev', async () => {
  const pageFile = path.join(work, 'multi', 'Album.html');
  const printed = makeGallery('multi', {
    page: pageFile, count: 7,
    settings: { Layout: { ThmPerPage: 3, MultiPg: 1, UseNavBtns: 1, NavBtns: 2 } },
  });
  assert.deepEqual(printed.trim().split('\n').slice(-3), [
    pageFile, path.join(work, 'multi', 'Album_1.htm'), path.join(work, 'multi', 'Album_2.htm'),
  ]);
  const page = await openPage(urlOf(pageFile));
  await expectAllPicturesLoad(page, 3);
  assert.equal(await page.locator('input[value="Prev"]').count(), 0);

  const press = async (button, target) => {
    await page.locator(`input[value="${button}"]`).first().click();
    await page.waitForURL((u) => u.pathname.endsWith('/' + target));
  };
  await press('Next', 'Album_1.htm');
  await expectAllPicturesLoad(page, 3);
  await press('Next', 'Album_2.htm');
  await expectAllPicturesLoad(page, 1);
  assert.equal(await page.locator('input[value="Next"]').count(), 0);
  await press('Prev', 'Album_1.htm');
  await press('Prev', 'Album.html');
  await page.close();
});

async function openFrames(pageFile) {
  const page = await openPage(urlOf(pageFile));
  const thumbs = page.frame({ name: 'thumbs' });
  const pics = page.frame({ name: 'pics' });
  assert.ok(thumbs && pics, 'the frameset has its thumbs and pics frames');
  await thumbs.waitForLoadState();
  await expectAllPicturesLoad(thumbs, 3);
  return { page, thumbs, pics };
}

test('frames: a thumbnail opens its original in the pictures frame', async () => {
  const printed = makeGallery('frames', { settings: { Layout: { UseFrames: 1 } } });
  assert.deepEqual(printed.trim().split('\n').slice(-4).map((p) => path.basename(p)),
    ['MyWeb.htm', 'MyWebb.htm', 'MyWebp.htm', 'MyWebt.htm']);
  const frames = await openFrames(path.join(work, 'frames', 'MyWeb.htm'));
  await followInFrames(frames, 1, "Ann's #1.jpg");
  assert.ok(frames.page.url().endsWith('MyWeb.htm'), 'the frameset stays');
  await frames.page.close();
});

test('frames with Tile Image in Frame: a click tiles the original in the pictures frame',
  async () => {
    makeGallery('tiled', { settings: { Layout: { UseFrames: 1, TileBkgd: 1, SampleText: 1 } } });
    const { page, thumbs, pics } = await openFrames(path.join(work, 'tiled', 'MyWeb.htm'));
    for (const [index, name] of [[1, "Ann's #1.jpg"], [2, 'caf\u00e9.jpg']]) {
      await thumbs.locator('a > img').nth(index).click();
      const url = await tiledBackground(pics);
      assert.ok(decodeURIComponent(url).endsWith('/pics/' + name), url);
      const width = await pics.evaluate((src) => new Promise((done) => {
        const img = new Image();
        img.onload = () => done(img.naturalWidth);
        img.onerror = () => done(0);
        img.src = src;
      }), url);
      assert.ok(width > 0, `tiled original ${name} did not load`);
      assert.equal(await pics.locator('font').count(), 101, 'sample text lines');
    }
    await page.close();
  });

test('frames with Tile Image in Frame: a banner holding a quote, a backslash and </script>',
  async () => {
    // The banner is written into a string of the frames script; unescaped it would end
    // the string (or the script) and no thumbnail click would work.
    const banner = 'Say "hi" \\ </script> done';
    makeGallery('quoted', {
      settings: { Layout: { UseFrames: 1, TileBkgd: 1, BannerString: banner } },
    });
    const { page, thumbs, pics } = await openFrames(path.join(work, 'quoted', 'MyWeb.htm'));
    await thumbs.locator('a > img').nth(0).click();
    assert.ok(decodeURIComponent(await tiledBackground(pics)).endsWith('/pics/sea.jpg'));
    assert.equal(await pics.evaluate(() => document.title), banner);
    assert.equal(await page.title(), banner, 'the frameset title keeps the banner as typed');
    await page.close();
  });

test('pictorant-batch: prefixes given on the command line overtype the filled ones', () => {
  makeGallery('prefix', {
    extra: ['--href-prefix', 'http://example.org/big/', '--img-prefix', 'small/'],
  });
  const html = fs.readFileSync(path.join(work, 'prefix', 'MyWeb.htm'), 'latin1');
  assert.ok(html.includes('HREF="http://example.org/big/sea.jpg"'));
  assert.ok(html.includes('SRC="small/Thumb001.jpg"'));
});

test('pictorant-batch: a name without .htm becomes MyWeb.htm in that folder', () => {
  const folder = path.join(work, 'named');
  const printed = makeGallery('named', { page: path.join(folder, 'Album') });
  assert.equal(printed.trim().split('\n').pop(), path.join(folder, 'MyWeb.htm'));
  assert.ok(!fs.existsSync(path.join(folder, 'Album')));
  // a folder given alone gets MyWeb.htm in it
  const inside = path.join(folder, 'inside');
  fs.mkdirSync(inside);
  const again = makeGallery('named', { page: inside });
  assert.equal(again.trim().split('\n').pop(), path.join(inside, 'MyWeb.htm'));
});

test('pictorant-batch: a gallery that fails prints its error and exits with 1', () => {
  const folder = path.join(work, 'failing');
  const result = runGallery('failing', { settings: { Tables: { Columns: 'five' } } });
  assert.equal(result.status, 1);
  assert.match(result.stderr, /'five' is not a valid integer value/);
  assert.ok(!fs.existsSync(path.join(folder, 'MyWeb.htm')));
  // the thumbnails themselves were made
  assert.ok(fs.existsSync(path.join(folder, 'thumbs', 'Thumb001.jpg')));
});

// PICTORANT_DIALOGS names gallery-through-dialogs: the same run, but the gallery made by
// "Do HTML!" through the real output and options dialogs, with the link fields the
// options dialog fills for a page in its own folder.
test('made through the dialogs: relative links from another folder, and frames',
  { skip: !process.env.PICTORANT_DIALOGS && 'PICTORANT_DIALOGS not set' }, async () => {
    const base = path.join(work, 'dialogs');
    const thumbs = path.join(base, 'thumbs');
    const web = path.join(base, 'web');
    fs.mkdirSync(thumbs, { recursive: true });
    fs.mkdirSync(web, { recursive: true });
    const make = (name, extra) => {
      const result = spawnSync(process.env.PICTORANT_DIALOGS, [
        '--input', path.join(work, 'pics'), '--output', thumbs, '--folder', web,
        '--name', name, ...extra, ...originals.slice(0, 3),
      ], { encoding: 'utf8' });
      assert.equal(result.status, 0, `gallery-through-dialogs:\n${result.stdout}\n${result.stderr}`);
      return result.stdout.trim().split('\n');
    };

    assert.deepEqual(make('Album.html', ['--href-mode', '2', '--img-mode', '2']),
      [path.join(web, 'Album.html')]);
    const page = await openPage(urlOf(path.join(web, 'Album.html')));
    await expectAllPicturesLoad(page, 3);
    await followToOriginal(page, 1, "Ann's #1.jpg");
    await page.close();

    make('Frames.htm', ['--frames']);
    const frames = await openFrames(path.join(web, 'Frames.htm'));
    await followInFrames(frames, 2, 'caf\u00e9.jpg');
    await frames.page.close();
  });
