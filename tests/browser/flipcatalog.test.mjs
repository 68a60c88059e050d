// Browser test of an exported HTML flip catalogue.
//
//   node tests/browser/flipcatalog.test.mjs FOLDER [PAGES.json DUMP.json]
//
// FOLDER is what `pagewright-cli html FILE -o FOLDER` wrote; PAGES.json and DUMP.json, what
// `pagewright-cli pages FILE` and `pagewright-cli dump FILE` print for the same catalogue,
// tell the search checks where its products stand and what their variant rows hold. The
// test drives the Debian chromium through playwright-core (no browser download) and opens
// catalog.htm from disk, and once through a small web server on the loopback address. Every
// check fails on a console error, a script error or a request that failed. axe-core checks
// the page's accessibility.

import assert from 'node:assert/strict';
import { existsSync, readFileSync, statSync } from 'node:fs';
import { createServer } from 'node:http';
import path from 'node:path';
import { createRequire } from 'node:module';
import { after, before, describe, test } from 'node:test';
import { pathToFileURL } from 'node:url';

import { chromium } from 'playwright-core';

const folder = path.resolve(process.argv[2] ?? '');
if (!process.argv[2] || !existsSync(path.join(folder, 'catalog.htm'))) {
  console.error('usage: node flipcatalog.test.mjs FOLDER (the folder must hold catalog.htm)');
  process.exit(2);
}

const html = readFileSync(path.join(folder, 'catalog.htm'), 'utf8');
const spreads = Number(/data-spreads="(\d+)"/.exec(html)?.[1]);
const lastPage = 2 * (spreads - 1); // N
const catalogUrl = pathToFileURL(path.join(folder, 'catalog.htm')).href;
const axeSource = createRequire(import.meta.url).resolve('axe-core/axe.min.js');

// Width and height of a baseline or progressive JPEG, from its frame header.
function jpegSize(file) {
  const data = readFileSync(file);
  for (let at = 2; at + 9 < data.length;) {
    const marker = data[at + 1];
    if (marker >= 0xc0 && marker <= 0xcf && ![0xc4, 0xc8, 0xcc].includes(marker))
      return { width: data.readUInt16BE(at + 7), height: data.readUInt16BE(at + 5) };
    at += 2 + data.readUInt16BE(at + 2);
  }
  throw new Error(`${file}: no JPEG frame header`);
}

// A window wide enough for spreads of these pages, and a phone held upright.
const picture = jpegSize(path.join(folder, 'catalogpage1.jpg'));
const WIDE = { width: Math.max(1280, Math.ceil((2.1 * 800 * picture.width) / picture.height)), height: 800 };
const PHONE = { width: 390, height: 844 };
const LABELS = { first: 'Erste Seite', previous: 'Zurück', next: 'Vorwärts', last: 'Letzte Seite' };

let browser;

// playwright-core gives the browser a fresh profile in a temporary folder of its own.
before(async () => {
  browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
});

after(async () => {
  await browser?.close();
});

// A fresh page that records everything that went wrong and every file it asked for.
async function open(url, { viewport = WIDE, reducedMotion = 'reduce', deviceScaleFactor = 1 } = {}) {
  const context = await browser.newContext({ viewport, reducedMotion, deviceScaleFactor });
  const page = await context.newPage();
  const problems = [];
  const requested = [];
  page.on('console', (message) => {
    if (message.type() === 'error')
      problems.push(`console: ${message.text()}`);
  });
  page.on('pageerror', (error) => problems.push(`script: ${error.message}`));
  page.on('requestfailed', (request) => problems.push(`failed: ${request.url()} ${request.failure()?.errorText}`));
  page.on('response', (response) => {
    if (response.status() >= 400)
      problems.push(`HTTP ${response.status()}: ${response.url()}`);
  });
  page.on('request', (request) => requested.push(decodeURIComponent(path.basename(new URL(request.url()).pathname))));
  await page.goto(url);
  await settled(page);
  return {
    page,
    requested,
    // Checked at the end of every test.
    async close() {
      await context.close();
      assert.deepEqual(problems, [], 'the page reported problems');
    },
  };
}

// Waits until no leaf is turning and the pictures on screen have loaded.
async function settled(page) {
  await page.waitForFunction(() => {
    if (document.querySelector('#book').hasAttribute('aria-busy'))
      return false;
    return [...document.querySelectorAll('#book .page img')]
      .filter((img) => img.getAttribute('src'))
      .every((img) => img.complete && img.naturalWidth > 0);
  }, null, { timeout: 5000 });
}

// The pages on screen, the indicator and the address.
async function shown(page) {
  return page.evaluate(() => {
    const boxes = [...document.querySelectorAll('#book .page')].filter((box) => getComputedStyle(box).display !== 'none');
    for (const box of boxes) {
      const img = box.querySelector('img');
      const expected = `catalogpage${box.dataset.page}.jpg`;
      if (img.getAttribute('src') !== expected || !img.complete || img.naturalWidth === 0)
        throw new Error(`page ${box.dataset.page} shows ${img.getAttribute('src')} (loaded: ${img.naturalWidth > 0})`);
      // Pages keep the shape of their pictures, and at zoom 1 they lie inside the window.
      const r = box.getBoundingClientRect();
      if (Math.abs(r.width / r.height - img.naturalWidth / img.naturalHeight) > 0.02)
        throw new Error(`page ${box.dataset.page} is ${r.width} x ${r.height}, its picture ${img.naturalWidth} x ${img.naturalHeight}`);
      if (!document.querySelector('#stage').classList.contains('zoomed') &&
          (r.left < 0 || r.top < 0 || r.right > innerWidth || r.bottom > innerHeight))
        throw new Error(`page ${box.dataset.page} lies outside the window`);
    }
    return {
      pages: boxes.map((box) => Number(box.dataset.page)),
      indicator: document.querySelector('#indicator').textContent,
      hash: location.hash,
    };
  });
}

const spreadOf = (k) => [2 * k, 2 * k + 1];
const catalogPages = (files) => new Set(files.filter((f) => /^catalogpage(flip)?\d+\.jpg$/.test(f)));
const sharpPictures = (files) => [...new Set(files.filter((f) => /^zoom\d+\.jpg$/.test(f)))].sort();
const sharpOf = (...pages) => pages.map((n) => `zoom${n}.jpg`).sort();

// The folder served by a small web server on the loopback address; its address and a stop.
async function serve() {
  const server = createServer((request, response) => {
    const file = path.join(folder, decodeURIComponent(new URL(request.url, 'http://x').pathname));
    if (!file.startsWith(folder) || !existsSync(file) || !statSync(file).isFile()) {
      response.writeHead(404).end();
      return;
    }
    const type = { '.htm': 'text/html; charset=utf-8', '.gif': 'image/gif', '.jpg': 'image/jpeg' }[path.extname(file)];
    response.writeHead(200, { 'Content-Type': type ?? 'application/octet-stream' }).end(readFileSync(file));
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return { url: `http://127.0.0.1:${server.address().port}/catalog.htm`, stop: () => server.close() };
}

describe('exported folder', () => {
  test('placeholders are filled and every file the catalogue uses is there', () => {
    assert.ok(!html.includes('%%'), 'a placeholder was left in catalog.htm');
    assert.ok(spreads >= 2, `data-spreads is ${spreads}`);
    for (const label of Object.values(LABELS))
      assert.ok(html.includes(`aria-label="${label}"`), `no button is labelled ${label}`);

    const files = [...html.matchAll(/\bsrc="([^"]+)"/g)].map((m) => m[1]);
    assert.equal(files.length, 6, 'the toolbar shows six pictures');
    for (let n = 0; n <= lastPage + 1; n++)
      files.push(`catalogpage${n}.jpg`);
    for (let n = 1; n <= lastPage + 1; n++)
      files.push(`catalogpageflip${n}.jpg`);
    for (const file of files) {
      const full = path.join(folder, file);
      assert.ok(existsSync(full) && statSync(full).size > 0, `${file} is missing or empty`);
    }
  });
});

describe('flip catalogue in chromium', () => {
  // Served from disk and from a web server: both load only the pages around the first
  // spread, and every picture they show arrives; on a screen of twice the pixels, the sharp
  // picture of the one page on screen too.
  for (const origin of ['file', 'http']) {
    test(`first spread loads cleanly and alone (${origin})`, async (t) => {
      let url = catalogUrl;
      if (origin === 'http') {
        const server = await serve();
        t.after(server.stop);
        url = server.url;
      }
      const { page, requested, close } = await open(url, { deviceScaleFactor: 2 });
      assert.deepEqual((await shown(page)).pages, spreadOf(0));
      assert.deepEqual(await sharpShown(page), [{ page: 0, src: null, shown: false },
        { page: 1, src: 'catalogextras/zoom1.jpg', shown: true }]);
      assert.equal((await shown(page)).indicator, `1 / ${lastPage}`);

      const toolbar = await page.$$eval('#toolbar img', (imgs) => imgs.map((img) => img.naturalWidth));
      assert.equal(toolbar.length, 6);
      assert.ok(toolbar.every((w) => w > 0), 'a toolbar picture did not load');

      // Spread 0 and its neighbour, and the turned corner of page 1; nothing further.
      await page.waitForTimeout(300);
      const wanted = new Set(['catalogpage0.jpg', 'catalogpage1.jpg', 'catalogpage2.jpg', 'catalogpage3.jpg', 'catalogpageflip1.jpg']);
      assert.deepEqual([...catalogPages(requested)].sort(), [...wanted].sort());
      assert.deepEqual(sharpPictures(requested), sharpOf(1));
      const withSource = await page.$$eval('img[src]', (imgs) => imgs.map((img) => img.getAttribute('src')));
      for (const src of withSource)
        assert.ok(!/^catalogpage/.test(src) || wanted.has(src), `${src} has its src set`);
      await close();
    });
  }

  test('toolbar buttons are named by the export and disabled at the ends', async () => {
    const { page, close } = await open(catalogUrl);
    const state = async () => {
      const result = {};
      for (const [key, name] of Object.entries(LABELS)) {
        const button = page.getByRole('button', { name, exact: true });
        assert.equal(await button.count(), 1, `one button named ${name}`);
        assert.equal(await button.evaluate((b) => b.tagName), 'BUTTON');
        result[key] = await button.isDisabled();
      }
      return result;
    };
    assert.deepEqual(await state(), { first: true, previous: true, next: false, last: false });
    await page.keyboard.press('End');
    await settled(page);
    assert.deepEqual(await state(), { first: false, previous: false, next: true, last: true });
    assert.equal(await page.locator('#status').textContent(), `Seite ${lastPage} von ${lastPage}`);
    await close();
  });

  test('turns with the buttons, the keyboard and a click on a page', async () => {
    const { page, close } = await open(catalogUrl);
    const box = await page.locator('#book').boundingBox();
    const last = spreads - 1;
    const steps = [
      ['next button', () => page.getByRole('button', { name: LABELS.next }).click(), 1],
      ['ArrowRight', () => page.keyboard.press('ArrowRight'), 2],
      ['ArrowLeft', () => page.keyboard.press('ArrowLeft'), 1],
      ['End', () => page.keyboard.press('End'), last],
      ['previous button', () => page.getByRole('button', { name: LABELS.previous }).click(), last - 1],
      ['Home', () => page.keyboard.press('Home'), 0],
      ['click near the right edge', () => page.mouse.click(box.x + box.width - 15, box.y + box.height / 2), 1],
      ['click on the left page', () => page.mouse.click(box.x + 30, box.y + box.height / 3), 0],
      ['last button', () => page.getByRole('button', { name: LABELS.last }).click(), last],
      ['first button', () => page.getByRole('button', { name: LABELS.first }).click(), 0],
    ];
    for (const [how, action, spread] of steps) {
      await action();
      await settled(page);
      const now = await shown(page);
      const lower = Math.min(Math.max(1, 2 * spread), lastPage);
      assert.deepEqual(now.pages, spreadOf(spread), how);
      assert.equal(now.hash, `#page=${lower}`, how);
      const visible = spreadOf(spread).filter((n) => n >= 1 && n <= lastPage);
      assert.equal(now.indicator, `${visible.join('\u2013')} / ${lastPage}`, how);
    }
    await close();
  });

  test('every page and turned corner loads while paging through', async () => {
    const { page, requested, close } = await open(catalogUrl);
    const box = await page.locator('#book').boundingBox();
    // The pointer in an outer bottom corner shows that page's turned-corner picture.
    const corner = async (side, pageNumber) => {
      const x = side === 'right' ? box.x + box.width - 6 : box.x + 6;
      await page.mouse.move(x, box.y + box.height - 6);
      await page.waitForFunction(([s, n]) => {
        const img = document.querySelector(`.page--${s} img`);
        return img.getAttribute('src') === `catalogpageflip${n}.jpg` && img.complete && img.naturalWidth > 0;
      }, [side, pageNumber], { timeout: 3000 });
      await page.mouse.move(box.x + box.width / 2, box.y - 10);
    };
    for (let k = 0; k < spreads; k++) {
      assert.deepEqual((await shown(page)).pages, spreadOf(k));
      if (k > 0)
        await corner('left', 2 * k);
      if (k < spreads - 1) {
        await corner('right', 2 * k + 1);
        await page.keyboard.press('ArrowRight');
        await settled(page);
      }
    }
    const expected = new Set();
    for (let n = 0; n <= lastPage + 1; n++)
      expected.add(`catalogpage${n}.jpg`);
    for (let n = 1; n <= lastPage; n++)
      expected.add(`catalogpageflip${n}.jpg`);
    assert.deepEqual([...catalogPages(requested)].sort(), [...expected].sort());
    await close();
  });

  test('the address names the page; deep links, bad values and history', async () => {
    const cases = [
      ['#page=5', 5, '#page=5'],
      [`#page=${lastPage}`, lastPage, `#page=${lastPage}`],
      ['#page=0', 1, '#page=1'],
      ['#page=-4', 1, '#page=1'],
      ['#page=9999', lastPage, `#page=${lastPage}`],
      ['#page=abc', 1, '#page=1'],
    ];
    for (const [hash, pageNumber, canonical] of cases) {
      const { page, close } = await open(catalogUrl + hash);
      const now = await shown(page);
      assert.deepEqual(now.pages, spreadOf(Math.floor(pageNumber / 2)), hash);
      assert.ok(now.pages.includes(pageNumber), hash);
      assert.equal(now.hash, canonical, hash);
      await close();
    }

    const { page, close } = await open(`${catalogUrl}#page=5`);
    await page.keyboard.press('ArrowRight');
    await settled(page);
    assert.deepEqual(await shown(page), { pages: [6, 7], indicator: `6\u20137 / ${lastPage}`, hash: '#page=6' });
    await page.goBack();
    await settled(page);
    assert.deepEqual((await shown(page)).pages, [4, 5]);
    await page.goForward();
    await settled(page);
    assert.deepEqual((await shown(page)).pages, [6, 7]);
    await page.evaluate(() => { location.hash = 'page=2'; });
    await settled(page);
    assert.deepEqual((await shown(page)).pages, [2, 3]);
    await close();
  });

  test('a phone shows one page at a time, without the white pages', async () => {
    const { page, close } = await open(`${catalogUrl}#page=5`, { viewport: PHONE });
    assert.deepEqual(await shown(page), { pages: [5], indicator: `5 / ${lastPage}`, hash: '#page=5' });
    const box = await page.locator('#book').boundingBox();
    assert.ok(box.width <= PHONE.width && box.height < box.width * 2, 'one page fills the width');

    await page.getByRole('button', { name: LABELS.next }).click();
    await settled(page);
    assert.deepEqual((await shown(page)).pages, [6]);
    // A swipe to the left turns forward, to the right back.
    const y = box.y + box.height / 2;
    for (const [from, to, expected] of [[300, 60, 7], [60, 300, 6]]) {
      await page.mouse.move(from, y);
      await page.mouse.down();
      await page.mouse.move((from + to) / 2, y, { steps: 4 });
      await page.mouse.move(to, y, { steps: 4 });
      await page.mouse.up();
      await settled(page);
      assert.deepEqual((await shown(page)).pages, [expected]);
    }
    await page.keyboard.press('Home');
    await settled(page);
    assert.deepEqual((await shown(page)).pages, [1]);
    assert.equal(await page.getByRole('button', { name: LABELS.previous }).isDisabled(), true);
    await page.keyboard.press('End');
    await settled(page);
    assert.deepEqual((await shown(page)).pages, [lastPage]);
    assert.equal(await page.getByRole('button', { name: LABELS.next }).isDisabled(), true);

    // Turning the phone keeps the page and shows its spread.
    await page.setViewportSize({ width: PHONE.height, height: PHONE.width });
    // The resize reaches the page a little later: wait for the spread before it settles.
    await page.waitForFunction(
      () => [...document.querySelectorAll('#book .page')].filter((box) => getComputedStyle(box).display !== 'none').length === 2,
      null, { timeout: 5000 });
    await settled(page);
    assert.deepEqual((await shown(page)).pages, [lastPage, lastPage + 1]);
    await close();
  });

  test('zoom changes the size in steps, pans, and is undone by turning', async () => {
    const { page, close } = await open(catalogUrl);
    const width = () => page.locator('#book').evaluate((b) => b.getBoundingClientRect().width);
    const zoomIn = page.locator('#zoom-in');
    const zoomOut = page.locator('#zoom-out');
    const base = await width();
    assert.ok(await zoomOut.isDisabled());
    for (const factor of [1.5, 2, 3]) {
      await zoomIn.click();
      assert.ok(Math.abs((await width()) - base * factor) < 2, `zoom ${factor}`);
    }
    assert.ok(await zoomIn.isDisabled());

    // Dragging pans the enlarged page.
    const stage = page.locator('#stage');
    const scroll = () => stage.evaluate((s) => [s.scrollLeft, s.scrollTop]);
    const before = await scroll();
    await page.mouse.move(WIDE.width / 2, 400);
    await page.mouse.down();
    await page.mouse.move(WIDE.width / 2 - 100, 330, { steps: 5 });
    await page.mouse.up();
    const panned = await scroll();
    assert.ok(Math.abs(panned[0] - before[0] - 100) <= 1 && Math.abs(panned[1] - before[1] - 70) <= 1, `panned ${before} -> ${panned}`);
    assert.deepEqual((await shown(page)).pages, spreadOf(0), 'a drag on a zoomed page does not turn it');

    for (const factor of [2, 1.5, 1]) {
      await zoomOut.click();
      assert.ok(Math.abs((await width()) - base * factor) < 2, `zoom back to ${factor}`);
    }
    await zoomIn.click();
    await page.keyboard.press('ArrowRight');
    await settled(page);
    assert.ok(Math.abs((await width()) - base) < 1, 'turning resets the zoom');
    assert.deepEqual(await stage.evaluate((s) => [s.scrollLeft, s.scrollTop]), [0, 0]);
    await close();
  });

  test('turning is animated unless reduced motion is asked for', async () => {
    for (const reducedMotion of ['no-preference', 'reduce']) {
      const { page, close } = await open(catalogUrl, { reducedMotion });
      // Watches the leaf from before the click, so even a short turn is seen.
      await page.evaluate(() => {
        window.leafSeen = [];
        const leaf = document.querySelector('.leaf');
        const look = () => {
          if (!leaf.hidden)
            window.leafSeen.push(getComputedStyle(leaf).transform);
          if (window.leafSeen.length < 1000)
            requestAnimationFrame(look);
        };
        look();
      });
      const started = Date.now();
      await page.keyboard.press('ArrowRight');
      await settled(page);
      const took = Date.now() - started;
      const seen = await page.evaluate(() => window.leafSeen);
      assert.deepEqual((await shown(page)).pages, spreadOf(1), reducedMotion);
      assert.equal(await page.locator('.leaf').isHidden(), true, 'the leaf is put away');
      if (reducedMotion === 'reduce') {
        assert.equal(seen.length, 0, 'no leaf turns with reduced motion');
      } else {
        const turned = seen.filter((m) => m !== 'none' && m !== 'matrix(1, 0, 0, 1, 0, 0)');
        assert.ok(turned.length >= 3, `the leaf turned in ${turned.length} frames`);
        assert.ok(took < 3000, `the turn took ${took} ms`);
      }
      // Keys pressed during a turn are not lost: the book turns on to the last target.
      const target = Math.min(4, spreads - 1);
      for (let k = 1; k < target; k++)
        await page.keyboard.press('ArrowRight');
      await settled(page);
      assert.deepEqual(await shown(page), {
        pages: spreadOf(target), indicator: `${2 * target}\u2013${2 * target + 1} / ${lastPage}`, hash: `#page=${2 * target}`,
      });
      assert.equal(await page.locator('.leaf').isHidden(), true);
      await close();
    }
  });
});

// What the command line says of the catalogue: each product's page in the flip catalogue
// (its printed page number less the first one's) and its variant rows.
function catalogueProducts() {
  const [pagesFile, dumpFile] = process.argv.slice(3);
  assert.ok(pagesFile && dumpFile, 'the search checks need PAGES.json and DUMP.json');
  const pages = JSON.parse(readFileSync(pagesFile, 'utf8'));
  const dump = JSON.parse(readFileSync(dumpFile, 'utf8'));
  const first = dump.settings.FirstPageNr;
  const products = [];
  for (const kat of dump.kats) {
    const placed = pages.kats.find((k) => k.name === kat.name);
    for (const product of kat.products) {
      const seite = placed?.products.find((p) => p.name === product.name)?.seite;
      if (seite !== undefined)
        products.push({ name: product.name, page: seite - first + 1, rows: product.varianten.slice(1) });
    }
  }
  return products;
}

// The sharp pictures the pages on screen show, and whether they have arrived.
async function sharpShown(page) {
  return page.$$eval('#book .page', (boxes) => boxes
    .filter((box) => getComputedStyle(box).display !== 'none' && box.dataset.page !== undefined)
    .map((box) => {
      const sharp = box.querySelector('img.sharp');
      return { page: Number(box.dataset.page), src: sharp.getAttribute('src'),
               shown: sharp.classList.contains('ready') && sharp.naturalWidth > 0 && getComputedStyle(sharp).visibility === 'visible' };
    }));
}

describe('sharp pages, search and thumbnails', () => {
  const zoomWidth = Number(/data-zoom-width="(\d+)"/.exec(html)?.[1]);

  test('the export wrote sharp pictures and thumbnails of every page', () => {
    assert.ok(zoomWidth > picture.width, `data-zoom-width is ${zoomWidth}, the pages ${picture.width} wide`);
    for (let n = 1; n <= lastPage; n++) {
      assert.equal(jpegSize(path.join(folder, `catalogextras/zoom${n}.jpg`)).width, zoomWidth);
      const thumb = jpegSize(path.join(folder, `catalogextras/thumb${n}.jpg`));
      assert.ok(thumb.width >= 100 && thumb.width <= 140, `thumbnail ${n} is ${thumb.width} wide`);
    }
  });

  // Turning on a screen of twice the pixels fetches the sharp pictures of the pages that
  // come into view, and no others.
  test('a high-density screen shows the sharp pages in view', async () => {
    const { page, requested, close } = await open(`${catalogUrl}#page=4`, { deviceScaleFactor: 2 });
    assert.deepEqual(await sharpShown(page), [
      { page: 4, src: 'catalogextras/zoom4.jpg', shown: true },
      { page: 5, src: 'catalogextras/zoom5.jpg', shown: true },
    ]);
    assert.deepEqual(sharpPictures(requested), sharpOf(4, 5));
    await page.keyboard.press('ArrowRight');
    await settled(page);
    assert.deepEqual((await sharpShown(page)).map((s) => s.shown), [true, true]);
    assert.deepEqual(sharpPictures(requested), sharpOf(4, 5, 6, 7));
    assert.ok(!requested.some((f) => /^thumb/.test(f)), 'no thumbnail before they are opened');
    await close();
  });

  test('zooming in loads the sharp pages where the base ones sufficed', async () => {
    // A window small enough for the base pictures at zoom 1.
    const { page, requested, close } = await open(`${catalogUrl}#page=2`, { viewport: { width: 900, height: 560 } });
    const width = await page.locator('.page--right').evaluate((b) => b.getBoundingClientRect().width);
    assert.ok(width <= picture.width, `a page is ${width} pixels wide`);
    assert.deepEqual((await sharpShown(page)).map((s) => s.src), [null, null]);
    assert.deepEqual(sharpPictures(requested), []);
    await page.locator('#zoom-in').click();
    await settled(page);
    assert.deepEqual(await sharpShown(page), [
      { page: 2, src: 'catalogextras/zoom2.jpg', shown: true },
      { page: 3, src: 'catalogextras/zoom3.jpg', shown: true },
    ]);
    assert.deepEqual(sharpPictures(requested), sharpOf(2, 3));
    // Back at zoom 1 the base pictures suffice again.
    await page.locator('#zoom-out').click();
    assert.deepEqual((await sharpShown(page)).map((s) => s.src), [null, null]);
    await close();
  });

  test('the search finds products by name and by a cell of their rows and turns to them', async () => {
    const products = catalogueProducts();
    const { page, close } = await open(catalogUrl);
    const field = page.getByRole('combobox', { name: 'Produkt oder Artikelnummer suchen' });
    const hits = async () => page.$$eval('#hits [role="option"]', (options) => options.map((o) => o.textContent));
    // Part of a name in other case, and with the accents left out ("gartner" finds
    // "Gärtner"); then a cell of a row in the middle of the table.
    const named = products.find((p) => p.page >= 4 && /[äöü]/i.test(p.name)) ?? products.find((p) => p.page >= 4);
    const accentless = named.name.normalize('NFD').replace(/[\u0300-\u036f]/g, '');
    const word = accentless.split(/[\s,-]+/).find((w) => w.length >= 5) ?? accentless;
    const rowed = products.filter((p) => p.page !== named.page && p.rows.length >= 2).at(-1);
    const cell = rowed.rows[1].find((c, i) => i > 0 && c.length >= 4 && !/€/.test(c)) ?? rowed.rows[1][0];
    const cases = [
      [word.slice(1, 6).toUpperCase(), named, 'click'],
      [cell, rowed, 'Enter'],
    ];
    for (const [query, product, how] of cases) {
      await field.fill(query);
      await page.waitForFunction(() => !document.querySelector('#hits').hidden);
      const found = await hits();
      const index = found.findIndex((text) => text.startsWith(product.name));
      assert.ok(index >= 0, `"${query}" finds ${product.name}: ${found}`);
      assert.ok(found[index].includes(`Seite ${product.page}`), found[index]);
      assert.equal(await field.getAttribute('aria-expanded'), 'true');
      if (how === 'click') {
        await page.locator('#hits [role="option"]').nth(index).click();
      } else {
        for (let i = 0; i <= index; i++)
          await field.press('ArrowDown');
        assert.equal(await field.getAttribute('aria-activedescendant'), `hit-${index}`);
        await field.press('Enter');
      }
      await settled(page);
      assert.ok((await shown(page)).pages.includes(product.page), `"${query}" turns to page ${product.page}`);
      assert.equal(await page.locator('#hits').isHidden(), true);
    }
    // Keys typed into the field are not taken for page turning.
    await field.fill('');
    const before = (await shown(page)).pages;
    await field.press('End');
    await field.press('ArrowRight');
    assert.deepEqual((await shown(page)).pages, before);
    await field.fill('zzqqxx');
    assert.deepEqual(await hits(), ['Keine Treffer']);
    await field.press('Escape');
    assert.equal(await page.locator('#hits').isHidden(), true);
    await close();
  });

  test('the thumbnails open, move by keyboard and turn to the page chosen', async () => {
    const { page, requested, close } = await open(`${catalogUrl}#page=3`);
    const button = page.getByRole('button', { name: 'Seitenübersicht' });
    await button.click();
    const dialog = page.getByRole('dialog', { name: 'Seitenübersicht' });
    assert.equal(await dialog.isVisible(), true);
    assert.equal(await page.locator('.thumb').count(), lastPage);
    // The page shown has the focus and is marked.
    assert.equal(await page.evaluate(() => document.activeElement.dataset.page), '2');
    assert.deepEqual(await page.$$eval('.thumb[aria-current="page"]', (b) => b.map((x) => x.dataset.page)), ['2', '3']);
    await page.waitForFunction(() => [...document.querySelectorAll('.thumb img')].slice(0, 4).every((i) => i.complete && i.naturalWidth > 0));
    await page.keyboard.press('ArrowRight');
    await page.keyboard.press('ArrowRight');
    await page.keyboard.press('Enter');
    await settled(page);
    assert.equal(await dialog.isVisible(), false);
    assert.ok((await shown(page)).pages.includes(4));
    assert.equal(await page.evaluate(() => document.activeElement.id), 'thumbnails');

    // A click (or tap) on another; Escape closes without turning.
    await button.click();
    await page.locator(`.thumb[data-page="${lastPage}"]`).click();
    await settled(page);
    assert.ok((await shown(page)).pages.includes(lastPage));
    await button.click();
    await page.keyboard.press('Escape');
    assert.equal(await dialog.isVisible(), false);
    assert.ok((await shown(page)).pages.includes(lastPage));
    assert.ok(requested.some((f) => /^thumb\d+\.jpg$/.test(f)));
    await close();
  });

  test('axe finds no serious accessibility problem in either mode, with hits or thumbnails', async () => {
    // One page through the states, so that axe is loaded once.
    const { page, close } = await open(`${catalogUrl}#page=2`);
    await page.addScriptTag({ path: axeSource });
    const states = [
      ['spreads', async () => {}],
      ['hits open', async () => {
        await page.locator('#search').fill('e');
        await page.locator('#search').press('ArrowDown');
      }],
      ['single pages, hits open', async () => {
        await page.setViewportSize(PHONE);
        await page.waitForFunction(() => document.querySelector('#book').classList.contains('single'));
        await settled(page);
      }],
      ['single pages', async () => page.locator('#search').press('Escape')],
      ['thumbnails open', async () => page.locator('#thumbnails').click()],
    ];
    for (const [name, enter] of states) {
      await enter();
      const violations = await page.evaluate(async () => (await window.axe.run(document, { resultTypes: ['violations'] })).violations
        .filter((v) => v.impact === 'serious' || v.impact === 'critical')
        .map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`));
      assert.deepEqual(violations, [], name);
    }
    assert.equal(await page.locator('#hits').isHidden(), true);
    await close();
  });
});
