// The instructor station's page: live state from the simulator over a WebSocket, the
// failure options sent back as small JSON commands. The pairing token travels in the
// page's cookie; the socket reconnects by itself and catches up from the welcome message.
'use strict';

const HISTORY = 600;  // seconds of chart
const $ = (id) => document.getElementById(id);
let socket = null;
let retryMs = 500;
let chart = null;
let boxes = [];  // [{box, caption, group, input}]

function send(command) {
  if (socket && socket.readyState === WebSocket.OPEN) socket.send(JSON.stringify(command));
}

function setLink(up) {
  $('link').textContent = up ? 'Live' : 'Reconnecting…';
  $('link').classList.toggle('down', !up);
  for (const b of document.querySelectorAll('button, select, input')) b.disabled = !up;
}

function makeChart() {
  if (typeof Chart === 'undefined') return null;
  const line = (label, colour, axis, dash) => ({
    label, data: [], borderColor: colour, backgroundColor: colour, yAxisID: axis,
    borderWidth: 2, pointRadius: 0, borderDash: dash || [], stepped: axis === 'po2' && dash ? true : false,
  });
  return new Chart($('chart'), {
    type: 'line',
    data: { datasets: [
      line('True loop PO2', '#1d5fa8', 'po2'),
      line('Master reading', '#1e7b34', 'po2'),
      line('Setpoint', '#b3261e', 'po2', [6, 4]),
      line('Depth', '#8a6d00', 'depth'),
    ] },
    options: {
      animation: false, parsing: false, normalized: true, maintainAspectRatio: false,
      interaction: { mode: 'nearest', intersect: false },
      scales: {
        x: { type: 'linear', title: { display: true, text: 'seconds' }, ticks: { maxTicksLimit: 8 } },
        po2: { position: 'left', min: 0, suggestedMax: 1.6, title: { display: true, text: 'PO2 bar' } },
        depth: { position: 'right', reverse: true, min: 0, suggestedMax: 40,
                 title: { display: true, text: 'depth m' }, grid: { drawOnChartArea: false } },
      },
      plugins: { legend: { labels: { boxWidth: 14 } } },
    },
  });
}

function addSample(s, redraw) {
  if (!chart) return;
  const values = [s.loopPO2, s.masterPO2, s.setpoint, s.depth];
  chart.data.datasets.forEach((d, i) => {
    if (values[i] !== null) d.data.push({ x: s.second, y: values[i] });
    while (d.data.length && d.data[0].x <= s.second - HISTORY) d.data.shift();
  });
  if (redraw) chart.update('none');
}

function buildBoxes(list) {
  const host = $('boxes');
  host.replaceChildren();
  boxes = [];
  const groups = new Map();
  for (const b of list) {
    let set = groups.get(b.group);
    if (!set) {
      set = document.createElement('fieldset');
      const legend = document.createElement('legend');
      legend.textContent = b.group;
      set.append(legend);
      groups.set(b.group, set);
      host.append(set);
    }
    const label = document.createElement('label');
    const input = document.createElement('input');
    input.type = 'checkbox';
    input.dataset.box = b.box;
    input.addEventListener('change', () => send({ cmd: 'tick', box: b.box, ticked: input.checked }));
    label.append(input, document.createTextNode(b.caption));
    set.append(label);
    boxes.push({ ...b, input });
  }
}

function fillSelect(select, from, to) {
  if (select.options.length) return;
  for (let m = from; m <= to; ++m) select.add(new Option(String(m), String(m)));
}

function clock(seconds) {
  const m = Math.floor(seconds / 60), s = seconds % 60;
  return m + ':' + String(s).padStart(2, '0');
}

function showState(st) {
  $('loopPO2').textContent = st.loopPO2.toFixed(2);
  $('masterPO2').textContent = st.masterPO2 === null ? '–' : st.masterPO2.toFixed(2);
  $('setpoint').textContent = st.setpoint.toFixed(2);
  $('depth').textContent = String(st.depth);
  $('screenLeft').textContent = st.screens.left;
  $('screenRight').textContent = st.screens.right;
  $('oxygenValve').textContent = st.oxygenValve;
  $('diluentValve').textContent = st.diluentValve;
  $('mouthpiece').textContent = st.mouthpiece;
  $('breathing').textContent = st.breathing ? 'On' : 'Off';
  $('bailout').textContent = st.bailout ? 'Bailed out' : 'No';
  $('counterlungText').textContent = st.counterlung + ' %';
  $('counterlung').style.width = Math.max(0, Math.min(100, st.counterlung)) + '%';
  const ticked = new Set(st.ticked);
  for (const b of boxes) b.input.checked = ticked.has(b.box);
  const delay = $('delay');
  if (document.activeElement !== delay) delay.value = String(st.delay);
  $('arm').textContent = st.delay === 0 ? 'Change now' : 'Change in ' + st.delay + ' minutes';
  const cd = $('countdown');
  cd.classList.toggle('armed', st.armed);
  cd.textContent = st.armed ? 'Armed: takes effect in ' + clock(st.countdown) : 'Nothing armed';
  $('randomState').textContent = st.randomPending
    ? 'A random failure is pending within ' + st.randomWithin + ' minutes of the request.' : '';
  $('cancelRandom').disabled = !st.randomPending;
  showLesson(st.lesson);
  if (st.ended) $('link').textContent = 'Dive ended';
}

// The lesson being flown, each objective as it is judged (Met, Missed, Late).
function showLesson(lesson) {
  const list = $('objectives');
  if (!lesson) {
    $('lessonState').textContent = 'No lesson';
    list.replaceChildren();
    return;
  }
  $('lessonState').textContent = lesson.title + ' \u2014 ' +
    (lesson.finished ? (lesson.passed ? 'passed' : 'not passed') : clock(lesson.elapsed));
  const items = lesson.objectives.map((o) => {
    const li = document.createElement('li');
    li.className = o.outcome.toLowerCase();
    li.textContent = o.text + (o.outcome === 'Pending' ? '' : ' \u2014 ' + o.outcome +
      (o.second === null ? '' : ' at ' + clock(o.second)));
    return li;
  });
  list.replaceChildren(...items);
}

function showEvent(e, atTop) {
  const li = document.createElement('li');
  li.className = e.kind;
  const t = document.createElement('span');
  t.className = 't';
  t.textContent = clock(Math.floor(e.ms / 1000));
  li.append(t, document.createTextNode(e.text));
  if (e.detail) {
    const d = document.createElement('span');
    d.className = 'd';
    d.textContent = e.detail;
    li.append(d);
  }
  const list = $('events');
  if (atTop) list.prepend(li); else list.append(li);
  while (list.children.length > 300) list.lastElementChild.remove();
}

function onMessage(text) {
  let m;
  try { m = JSON.parse(text); } catch (e) { return; }
  switch (m.type) {
    case 'welcome':
      buildBoxes(m.boxes);
      $('lessonChoice').replaceChildren(...(m.lessons || []).map((title, i) => {
        const o = document.createElement('option');
        o.value = String(i);
        o.textContent = title;
        return o;
      }));
      fillSelect($('delay'), 0, m.maxDelay);
      fillSelect($('within'), 1, m.maxDelay);
      if (chart) chart.data.datasets.forEach((d) => { d.data = []; });
      for (const s of m.samples) addSample(s, false);
      if (chart) chart.update('none');
      $('events').replaceChildren();
      for (const e of m.events) showEvent(e, true);
      showState(m.state);
      break;
    case 'state': showState(m); break;
    case 'sample': addSample(m, true); break;
    case 'event': showEvent(m, true); break;
    case 'reply':
      $('reply').textContent = m.message;
      $('reply').classList.toggle('bad', !m.ok);
      break;
  }
}

function connect() {
  const scheme = location.protocol === 'https:' ? 'wss://' : 'ws://';
  socket = new WebSocket(scheme + location.host + '/live');
  socket.addEventListener('open', () => { retryMs = 500; setLink(true); });
  socket.addEventListener('message', (ev) => onMessage(ev.data));
  socket.addEventListener('close', () => {
    setLink(false);
    socket = null;
    setTimeout(connect, retryMs);
    retryMs = Math.min(retryMs * 2, 5000);
  });
}

document.addEventListener('DOMContentLoaded', () => {
  chart = makeChart();
  $('delay').addEventListener('change', () => send({ cmd: 'delay', minutes: Number($('delay').value) }));
  $('arm').addEventListener('click', () => send({ cmd: 'arm' }));
  $('refill').addEventListener('click', () => send({ cmd: 'refillScrubber' }));
  $('batteries').addEventListener('click', () => send({ cmd: 'changeBatteries' }));
  $('random').addEventListener('click', () => send({ cmd: 'randomFailure', withinMinutes: Number($('within').value) }));
  $('cancelRandom').addEventListener('click', () => send({ cmd: 'cancelRandom' }));
  $('assignLesson').addEventListener('click', () => send({ cmd: 'lesson', index: Number($('lessonChoice').value) }));
  setLink(false);
  connect();
});
