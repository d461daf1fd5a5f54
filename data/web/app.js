// Read-only monitor page: current values, alarms, outputs, two charts and the
// day files, kept live by the program's event stream. No libraries: the page
// has to work on a farm network without internet.
'use strict';

(() => {
  const HOUR = 3600 * 1000;
  const HOURS_SPAN = 6 * HOUR;
  const JOURNAL_REFRESH = 5 * 60 * 1000;
  const RETRY = 5000;

  // Columns of a history entry: [time, t1min, t1max, t2min, t2max, t3min, t3max, hmmin, hmmax].
  const SERIES = [
    { key: 't1', lo: 1, hi: 2, hm: false },
    { key: 't2', lo: 3, hi: 4, hm: false },
    { key: 't3', lo: 5, hi: 6, hm: false },
    { key: 'hm', lo: 7, hi: 8, hm: true },
  ];
  // Candidate distances between time labels, in minutes.
  const TIME_STEPS = [1, 2, 5, 10, 15, 30, 60, 120, 180, 360, 720, 1440, 2880, 10080, 20160, 43200]
    .map((m) => m * 60000);

  const $ = (id) => document.getElementById(id);
  const isNum = (v) => typeof v === 'number' && Number.isFinite(v);
  const pad = (n) => String(n).padStart(2, '0');

  let texts = null;
  let state = null;
  let files = null;
  let hours = [];          // entries of the last six hours, oldest first
  let hoursWidth = 0;      // chart width the six hours were asked for
  let journal = [];
  let eventCount = 0;      // see loadState()
  const ready = { texts: false, state: false, history: false };

  // ---- fetching -------------------------------------------------------------

  function getJson(url) {
    return fetch(url, { cache: 'no-store' }).then((r) => {
      if (!r.ok) throw new Error(url + ': HTTP ' + r.status);
      return r.json();
    });
  }

  // The page may be opened while the program is restarting: keep asking.
  function retry(load) {
    return load().catch(() => new Promise((resolve) => setTimeout(resolve, RETRY))
      .then(() => retry(load)));
  }

  function markReady(part) {
    ready[part] = true;
    if (ready.texts && ready.state && ready.history) document.body.dataset.ready = 'true';
  }

  // Points to ask for: about one per CSS pixel of the chart.
  function pointsFor(canvas) {
    return Math.max(10, Math.min(1000, Math.round(canvas.clientWidth || 300)));
  }

  // ---- texts ------------------------------------------------------------------

  function applyTexts(t) {
    texts = t && typeof t === 'object' ? t : {};
    document.documentElement.lang = texts.lang || '';
    document.title = texts.title || '';
    for (const el of document.querySelectorAll('[data-text]')) {
      el.textContent = texts[el.dataset.text] || '';
    }
    $('chart-hours').setAttribute('aria-label', texts.last_hours || '');
    $('chart-journal').setAttribute('aria-label', texts.journal || '');
    document.body.classList.add('texts');
    renderState();
    renderFiles();
    // Date labels on the charts follow the language.
    drawHours();
    drawJournal();
  }

  // ---- current state ----------------------------------------------------------

  function setValue(id, v, decimals) {
    // toFixed always writes a full stop, whatever the page's language.
    $(id).textContent = isNum(v) ? v.toFixed(decimals) : '—';
  }

  function clock(d) {
    return pad(d.getHours()) + ':' + pad(d.getMinutes()) + ':' + pad(d.getSeconds());
  }

  function stamp(d) {
    const now = new Date();
    const today = d.getFullYear() === now.getFullYear() && d.getMonth() === now.getMonth()
      && d.getDate() === now.getDate();
    return today ? clock(d) : d.toLocaleDateString(texts.lang || undefined) + ' ' + clock(d);
  }

  function applyState(s) {
    if (!s || typeof s !== 'object') return;
    state = s;
    renderState();
  }

  function renderState() {
    const s = state;
    if (!s) return;
    setValue('t1', s.t1, 1);
    setValue('t2', s.t2, 1);
    setValue('t3', s.t3, 1);
    setValue('hm', s.hm, 0);

    const alarm = s.alarm || {};
    $('panel-t1').classList.toggle('alarm', alarm.t1 === true);
    $('panel-t2').classList.toggle('alarm', alarm.t2 === true);
    $('panel-hm').classList.toggle('alarm', alarm.hm === true);
    $('no-data').classList.toggle('alarm', alarm.no_data === true);

    const receiving = s.receiving === true;
    $('receiving').dataset.receiving = String(receiving);
    for (const li of $('outputs').children) {
      li.classList.toggle('on', s[li.dataset.output] === true);
    }

    if (!texts) return;
    $('receiving-text').textContent = (receiving ? texts.receiving : texts.not_receiving) || '';
    const time = s.time ? new Date(s.time) : null;
    $('newest').textContent = time && !isNaN(time) ? (texts.newest || '') + ': ' + stamp(time) : '';
  }

  // An event can overtake a slower /api/state reply; the older reply must not win.
  function loadState() {
    const before = eventCount;
    return getJson('/api/state').then((s) => {
      if (eventCount === before) applyState(s);
    });
  }

  // ---- live stream ------------------------------------------------------------

  let everOpened = false;

  function setLost(lost) {
    document.body.classList.toggle('lost', lost);
  }

  function onEvent(e, isLine) {
    let s;
    try { s = JSON.parse(e.data); } catch (err) { return; }
    eventCount++;
    applyState(s);
    if (isLine) appendLine(s);
  }

  function connect() {
    const es = new EventSource('/api/events');
    es.addEventListener('open', () => {
      // Lines recorded while we were away are missing: catch up.
      if (everOpened) {
        loadState().catch(() => {});
        loadHours().catch(() => {});
      }
      everOpened = true;
      setLost(false);
    });
    es.addEventListener('error', () => {
      setLost(true);
      // The browser reconnects by itself unless the server refused outright.
      if (es.readyState === EventSource.CLOSED) setTimeout(connect, RETRY);
    });
    es.addEventListener('line', (e) => onEvent(e, true));
    es.addEventListener('alarm', (e) => onEvent(e, false));
  }

  // ---- six hours chart -------------------------------------------------------

  let hoursTimer = 0, hoursDrawnAt = 0;

  function hoursEnd() {
    // A server clock a little ahead of the phone's must not push points off the right.
    const last = hours.length ? hours[hours.length - 1][0] : 0;
    return Math.max(Date.now(), last);
  }

  function appendLine(s) {
    const t = Date.parse(s.time);
    if (!isNum(t)) return;
    const v = (x) => (isNum(x) ? x : null);
    const point = [t, v(s.t1), v(s.t1), v(s.t2), v(s.t2), v(s.t3), v(s.t3), v(s.hm), v(s.hm)];
    const last = hours.length ? hours[hours.length - 1] : null;
    if (last && t < last[0]) return;
    if (last && t === last[0]) {
      // Lines of the same second widen that second's envelope, so that a
      // short spike between them is still drawn.
      for (let i = 1; i < point.length; i += 2) {
        if (point[i] === null) continue;
        last[i] = last[i] === null ? point[i] : Math.min(last[i], point[i]);
        last[i + 1] = last[i + 1] === null ? point[i + 1] : Math.max(last[i + 1], point[i + 1]);
      }
    } else {
      hours.push(point);
    }
    scheduleHours();
  }

  function loadHours() {
    const canvas = $('chart-hours');
    const to = Date.now(), from = to - HOURS_SPAN;
    hoursWidth = canvas.clientWidth;
    return getJson(`/api/history?from=${from}&to=${to}&points=${pointsFor(canvas)}`).then((h) => {
      const points = Array.isArray(h.points) ? h.points : [];
      // Keep the lines that arrived by the stream after the reply was made.
      const last = points.length ? points[points.length - 1][0] : -Infinity;
      hours = points.concat(hours.filter((p) => p[0] > last));
      drawHours();
    });
  }

  // Lines may come several times a second; one drawing a second is plenty.
  function scheduleHours() {
    if (hoursTimer) return;
    const wait = Math.max(0, hoursDrawnAt + 1000 - Date.now());
    hoursTimer = setTimeout(() => { hoursTimer = 0; drawHours(); }, wait);
  }

  function drawHours() {
    hoursDrawnAt = Date.now();
    const to = hoursEnd(), from = to - HOURS_SPAN;
    let old = 0;
    while (old < hours.length && hours[old][0] < from) old++;
    if (old) hours = hours.slice(old);
    drawChart($('chart-hours'), hours, from, to);
  }

  // ---- whole journal chart -----------------------------------------------------

  function loadJournal() {
    return getJson(`/api/history?points=${pointsFor($('chart-journal'))}`).then((h) => {
      journal = Array.isArray(h.points) ? h.points : [];
      drawJournal();
    });
  }

  function drawJournal() {
    const p = journal;
    let [from, to] = [Date.now() - HOURS_SPAN, Date.now()];
    if (p.length) {
      // Span the entries themselves, the last bucket given its full width.
      const first = p[0][0], last = p[p.length - 1][0];
      from = first;
      to = last + (p.length > 1 ? (last - first) / (p.length - 1) : 60000);
    }
    drawChart($('chart-journal'), p, from, to);
  }

  // ---- day files ----------------------------------------------------------------

  function kb(bytes) {
    const k = (isNum(bytes) ? bytes : 0) / 1024;
    return k < 10 ? k.toFixed(1) : String(Math.round(k));
  }

  function loadFiles() {
    return getJson('/log/').then((list) => {
      files = Array.isArray(list) ? list.filter((f) => f && typeof f.name === 'string') : [];
      renderFiles();
    });
  }

  function renderFiles() {
    if (!files || !texts) return;
    // Day files are named by date, so the name orders them.
    const sorted = files.slice().sort((a, b) => (a.name < b.name ? 1 : a.name > b.name ? -1 : 0));
    const items = sorted.map((f) => {
      const li = document.createElement('li');
      const a = document.createElement('a');
      a.href = '/log/' + encodeURIComponent(f.name);
      a.download = f.name;
      a.textContent = f.name;
      const size = document.createElement('span');
      size.className = 'size';
      size.textContent = kb(f.bytes) + ' ' + (texts.kb || '');
      li.append(a, size);
      return li;
    });
    $('files').replaceChildren(...items);
  }

  // ---- drawing -------------------------------------------------------------------

  // The smallest of 1, 2, 5 × 10^n not below x.
  function niceStep(x) {
    const e = 10 ** Math.floor(Math.log10(x));
    for (const m of [1, 2, 5, 10]) if (m * e >= x * 0.999999) return m * e;
    return 10 * e;
  }

  function extent(points, series) {
    let lo = Infinity, hi = -Infinity;
    for (const p of points) {
      for (const s of series) {
        if (isNum(p[s.lo])) lo = Math.min(lo, p[s.lo]);
        if (isNum(p[s.hi])) hi = Math.max(hi, p[s.hi]);
      }
    }
    return lo <= hi ? [lo, hi] : null;
  }

  // Temperature scale first; humidity gets a nice step that puts its labels
  // on the same grid lines, so one grid serves both axes.
  function scales(points, maxTicks) {
    let [tlo, thi] = extent(points, SERIES.filter((s) => !s.hm)) || [36, 39];
    if (thi - tlo < 0.5) [tlo, thi] = [(tlo + thi) / 2 - 0.25, (tlo + thi) / 2 + 0.25];
    const tstep = niceStep((thi - tlo) / maxTicks);
    const tbase = Math.floor(tlo / tstep) * tstep;
    const ticks = Math.max(1, Math.ceil((thi - tbase) / tstep - 1e-9));

    const [hlo, hhi] = extent(points, SERIES.filter((s) => s.hm)) || [40, 70];
    let hstep = niceStep(Math.max(1, (hhi - hlo) / ticks));
    let hbase = Math.floor(hlo / hstep) * hstep;
    while (hbase + ticks * hstep < hhi) {
      hstep = niceStep(hstep * 1.01);
      hbase = Math.floor(hlo / hstep) * hstep;
    }
    return { tbase, tstep, hbase, hstep, ticks };
  }

  // Lines are broken where the recording paused: a pause is a step much
  // longer than the usual one.
  function gapLimit(points) {
    const d = [];
    for (let i = 1; i < points.length; i++) d.push(points[i][0] - points[i - 1][0]);
    if (d.length < 2) return Infinity;
    d.sort((a, b) => a - b);
    return Math.max(4 * d[d.length >> 1], 60000);
  }

  function timeLabel(t, step) {
    const d = new Date(t);
    if (step >= 1440 * 60000 || (d.getHours() === 0 && d.getMinutes() === 0)) {
      return d.toLocaleDateString(texts && texts.lang ? texts.lang : undefined,
        { day: 'numeric', month: 'numeric' });
    }
    return pad(d.getHours()) + ':' + pad(d.getMinutes());
  }

  function drawChart(canvas, allPoints, from, to) {
    const w = canvas.clientWidth, h = canvas.clientHeight;
    if (!w || !h || !(to > from)) return;
    const dpr = window.devicePixelRatio || 1;
    if (canvas.width !== Math.round(w * dpr) || canvas.height !== Math.round(h * dpr)) {
      canvas.width = Math.round(w * dpr);
      canvas.height = Math.round(h * dpr);
    }
    const ctx = canvas.getContext('2d');
    ctx.setTransform(dpr, 0, 0, dpr, 0, 0);
    ctx.clearRect(0, 0, w, h);

    const css = getComputedStyle(canvas);
    const colour = (name) => css.getPropertyValue('--' + name).trim() || '#000';
    const line = (x1, y1, x2, y2) => { ctx.beginPath(); ctx.moveTo(x1, y1); ctx.lineTo(x2, y2); ctx.stroke(); };
    const box = { l: 40, r: 34, t: 20, b: 20 }; // room for the axis labels
    const pw = w - box.l - box.r, ph = h - box.t - box.b;
    if (pw < 20 || ph < 20) return;

    const points = allPoints.filter((p) => p[0] >= from && p[0] <= to);
    const sc = scales(points, Math.max(2, Math.floor(ph / 28)));
    const x = (t) => box.l + ((t - from) / (to - from)) * pw;
    const yT = (v) => box.t + ph - ((v - sc.tbase) / (sc.ticks * sc.tstep)) * ph;
    const yH = (v) => box.t + ph - ((v - sc.hbase) / (sc.ticks * sc.hstep)) * ph;

    // Grid with the temperature on the left and humidity on the right.
    ctx.font = '11px system-ui, sans-serif';
    ctx.lineWidth = 1;
    ctx.strokeStyle = colour('grid');
    ctx.textBaseline = 'middle';
    const decimals = sc.tstep < 1 ? 1 : 0;
    for (let i = 0; i <= sc.ticks; i++) {
      const y = Math.round(box.t + ph - (i / sc.ticks) * ph) + 0.5;
      line(box.l, y, box.l + pw, y);
      ctx.fillStyle = colour('fg');
      ctx.textAlign = 'right';
      ctx.fillText((sc.tbase + i * sc.tstep).toFixed(decimals), box.l - 4, y);
      ctx.fillStyle = colour('hm');
      ctx.textAlign = 'left';
      ctx.fillText(String(Math.round(sc.hbase + i * sc.hstep)), box.l + pw + 4, y);
    }
    ctx.textBaseline = 'alphabetic';
    ctx.fillStyle = colour('fg');
    ctx.textAlign = 'right';
    ctx.fillText('°C', box.l - 4, 11);
    ctx.fillStyle = colour('hm');
    ctx.textAlign = 'left';
    ctx.fillText('%', box.l + pw + 4, 11);

    // Time labels on whole local hours, days...
    const maxLabels = Math.max(2, Math.floor(pw / 64));
    const step = TIME_STEPS.find((s) => (to - from) / s <= maxLabels) || TIME_STEPS[TIME_STEPS.length - 1];
    const offset = new Date(from).getTimezoneOffset() * 60000;
    ctx.fillStyle = colour('dim');
    ctx.textAlign = 'center';
    ctx.textBaseline = 'bottom';
    for (let t = Math.ceil((from - offset) / step) * step + offset; t <= to; t += step) {
      const tx = Math.round(x(t)) + 0.5;
      ctx.strokeStyle = colour('grid');
      line(tx, box.t, tx, box.t + ph);
      const label = timeLabel(t, step);
      const half = ctx.measureText(label).width / 2;
      ctx.fillText(label, Math.min(Math.max(tx, half), w - half), h - 2);
    }

    // Each series: one vertical stroke per pixel column from its lowest to its
    // highest value, joined to the next column. Where one point falls in a
    // column that is a plain line; where many do, the strokes form the envelope.
    const gap = gapLimit(points);
    ctx.save();
    ctx.beginPath();
    ctx.rect(box.l, box.t - 2, pw, ph + 4);
    ctx.clip();
    ctx.lineWidth = 1.5;
    ctx.lineJoin = 'round';
    for (const s of SERIES) {
      const y = s.hm ? yH : yT;
      ctx.strokeStyle = colour(s.key);
      ctx.beginPath();
      let col = null, lo = 0, hi = 0, joined = false, prevT = -Infinity;
      const flush = () => {
        if (col === null) return;
        const bottom = y(lo);
        // At least a pixel high, or a lone point would not show at all.
        const top = Math.min(y(hi), bottom - 1);
        if (joined) ctx.lineTo(col + 0.5, bottom);
        else ctx.moveTo(col + 0.5, bottom);
        ctx.lineTo(col + 0.5, top);
      };
      for (const p of points) {
        const a = p[s.lo], b = p[s.hi];
        if (!isNum(a) || !isNum(b)) { flush(); col = null; prevT = -Infinity; continue; }
        const c = Math.floor(x(p[0]));
        if (c === col && p[0] - prevT <= gap) {
          lo = Math.min(lo, a);
          hi = Math.max(hi, b);
        } else {
          flush();
          joined = col !== null && p[0] - prevT <= gap;
          [col, lo, hi] = [c, a, b];
        }
        prevT = p[0];
      }
      flush();
      ctx.stroke();
    }
    ctx.restore();
  }

  // ---- start --------------------------------------------------------------------

  function onResize() {
    drawHours();
    drawJournal();
    // Turning a phone sideways makes the chart much wider: ask for finer buckets.
    if ($('chart-hours').clientWidth > hoursWidth * 1.25) loadHours().catch(() => {});
  }

  function start() {
    // Listen first, so no line falls between the first fetches and the stream.
    connect();
    retry(() => getJson('/api/texts').then(applyTexts)).then(() => markReady('texts'));
    retry(loadState).then(() => markReady('state'));
    retry(loadHours).then(() => markReady('history'));
    retry(loadJournal);
    retry(loadFiles);
    setInterval(() => {
      loadJournal().catch(() => {});
      loadFiles().catch(() => {}); // a new day brings a new file
    }, JOURNAL_REFRESH);
    // Slide the six hours along even when no lines come, and put the date
    // beside the newest line's time once midnight has passed.
    setInterval(() => { scheduleHours(); renderState(); }, 30000);
    let resizeTimer = 0;
    window.addEventListener('resize', () => { clearTimeout(resizeTimer); resizeTimer = setTimeout(onResize, 200); });
  }

  start();
})();
