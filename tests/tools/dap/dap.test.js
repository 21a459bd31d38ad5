// Protocol tests of `velmora --dap`, driven by the protocol's maintained test client.
// VELMORA names the runner binary.
'use strict';
const { test, beforeEach, afterEach } = require('node:test');
const assert = require('node:assert');
const path = require('node:path');
const cp = require('node:child_process');
const { DebugClient } = require('@vscode/debugadapter-testsupport');

const VELMORA = process.env.VELMORA;
const CALLS = path.join(__dirname, 'scripts', 'calls.pas');
const LOOP = path.join(__dirname, 'scripts', 'loop.vbs');
// Lines (1-based) of calls.pas.
const ADD_LINE = 4, TWICE_FIRST = 8, TWICE_SECOND = 9, LOOP_LINE = 17, NO_CODE = 11;

let dc;
beforeEach(async () => {
  dc = new DebugClient(VELMORA, '--dap', 'velmora');
  await dc.start();
});
afterEach(async () => { await dc.stop(); });

function setBreakpoints(source, breakpoints) {
  return dc.setBreakpointsRequest({ source: { path: source }, breakpoints });
}

// Launches with the given breakpoints and waits for the first stop.
async function launchTo(breakpoints, reason = 'breakpoint', program = CALLS) {
  const stopped = dc.waitForEvent('stopped');
  await Promise.all([
    dc.waitForEvent('initialized').then(() => setBreakpoints(program, breakpoints)).then(() => dc.configurationDoneRequest()),
    dc.launch({ program }),
  ]);
  const event = await stopped;
  assert.strictEqual(event.body.reason, reason);
  return event;
}

async function topFrame() {
  const trace = await dc.stackTraceRequest({ threadId: 1 });
  return trace.body.stackFrames[0];
}

async function evaluate(expression, frameId) {
  const r = await dc.evaluateRequest({ expression, frameId, context: 'watch' });
  return r.body.result;
}

test('an engine script (Python, by its extension) stops, shows its frames and evaluates', async () => {
  const PY = path.join(__dirname, 'scripts', 'calls.py');
  await launchTo([{ line: 5, condition: 'n == 2' }], 'breakpoint', PY);
  const frames = (await dc.stackTraceRequest({ threadId: 1 })).body.stackFrames;
  assert.deepStrictEqual(frames.map((f) => f.line), [5, 7, 10]);
  assert.strictEqual(await evaluate('n * 10', frames[0].id), '20');
  const terminated = dc.waitForEvent('terminated');
  await dc.setBreakpointsRequest({ source: { path: PY }, breakpoints: [] });
  await dc.continueRequest({ threadId: 1 });
  await terminated;
});

test('launch and stop on a breakpoint', async () => {
  await dc.hitBreakpoint({ program: CALLS }, { path: CALLS, line: ADD_LINE });
});

test('a breakpoint on a line without code is not verified', async () => {
  await Promise.all([
    dc.waitForEvent('initialized').then(async () => {
      const r = await setBreakpoints(CALLS, [{ line: NO_CODE }, { line: ADD_LINE }]);
      assert.deepStrictEqual(r.body.breakpoints.map((b) => b.verified), [false, true]);
      await dc.configurationDoneRequest();
    }),
    dc.launch({ program: CALLS }),
    dc.assertStoppedLocation('breakpoint', { line: ADD_LINE }),
  ]);
});

test('conditional breakpoint stops only where the condition holds', async () => {
  await launchTo([{ line: ADD_LINE, condition: 'n = 3' }]);
  assert.strictEqual(await evaluate('n', 1), '3');
  assert.strictEqual(await evaluate('Total', 3), '6', 'Twice(1) and Twice(2) added 6');
});

test('hit count stops at every third hit', async () => {
  await launchTo([{ line: ADD_LINE, hitCondition: '3' }]);
  assert.strictEqual(await evaluate('n', 1), '2', 'Add(1) twice passed over, the third hit stops');
  assert.strictEqual(await evaluate('Total', 1), '2');
  const next = dc.waitForEvent('stopped');
  await dc.continueRequest({ threadId: 1 });
  await next;
  assert.strictEqual(await evaluate('Total', 1), '9', 'the sixth hit: Add(3) the second time');
});

test('a logpoint writes an output event and does not stop', async () => {
  // Logpoints say their message as written: no interpolation of {expressions}.
  const logged = dc.assertOutput('console', 'adding {n}\n'.repeat(4));
  const output = dc.assertOutput('stdout', 'Total 20\n');
  const terminated = dc.waitForEvent('terminated');
  await Promise.all([
    dc.waitForEvent('initialized').then(() => setBreakpoints(CALLS, [{ line: ADD_LINE, logMessage: 'adding {n}', condition: 'n < 3' }]))
      .then(() => dc.configurationDoneRequest()),
    dc.launch({ program: CALLS }),
  ]);
  await Promise.all([logged, output, terminated]);
});

test('stack, scopes and nested variables', async () => {
  await launchTo([{ line: ADD_LINE }]);
  const trace = await dc.stackTraceRequest({ threadId: 1 });
  const frames = trace.body.stackFrames;
  assert.deepStrictEqual(frames.map((f) => [f.name, f.line]), [['Add', ADD_LINE], ['Twice', TWICE_FIRST], ['Global code', LOOP_LINE]]);
  assert.strictEqual(frames[0].source.path, CALLS);
  const globals = (await dc.scopesRequest({ frameId: frames[2].id })).body.scopes[0];
  assert.strictEqual(globals.name, 'Globals');
  const vars = (await dc.variablesRequest({ variablesReference: globals.variablesReference })).body.variables;
  const arr = vars.find((v) => v.name === 'Arr');
  assert.ok(arr.variablesReference > 0, 'an array can be expanded');
  const items = (await dc.variablesRequest({ variablesReference: arr.variablesReference })).body.variables;
  assert.deepStrictEqual(items.map((v) => v.value), ["'first'", "'second'"]);
  const locals = (await dc.scopesRequest({ frameId: frames[0].id })).body.scopes[0];
  assert.strictEqual(locals.name, 'Locals');
  const n = (await dc.variablesRequest({ variablesReference: locals.variablesReference })).body.variables;
  assert.deepStrictEqual(n.map((v) => [v.name, v.value]), [['n', '1']]);
});

test('evaluate in a frame, and a bad expression is an error response', async () => {
  await launchTo([{ line: ADD_LINE }]);
  assert.strictEqual(await evaluate('n * 10', 1), '10');
  assert.strictEqual(await evaluate('i + 100', 3), '101');
  await assert.rejects(dc.evaluateRequest({ expression: 'nosuch +', frameId: 1 }));
  await assert.rejects(dc.evaluateRequest({ expression: 'n', frameId: 99 }));
});

test('step in and step over', async () => {
  await launchTo([{ line: TWICE_FIRST }]);
  await Promise.all([dc.nextRequest({ threadId: 1 }), dc.assertStoppedLocation('step', { line: TWICE_SECOND })]);
  await Promise.all([dc.stepInRequest({ threadId: 1 }), dc.assertStoppedLocation('step', { line: ADD_LINE })]);
});

test('stop on entry', async () => {
  const stopped = dc.waitForEvent('stopped');
  await Promise.all([
    dc.waitForEvent('initialized').then(() => dc.configurationDoneRequest()),
    dc.launch({ program: CALLS, stopOnEntry: true }),
  ]);
  assert.strictEqual((await stopped).body.reason, 'entry');
  assert.strictEqual((await topFrame()).line, 13);
});

test('pause a running loop, then terminate', async () => {
  await Promise.all([
    dc.waitForEvent('initialized').then(() => dc.configurationDoneRequest()),
    dc.launch({ program: LOOP }),
  ]);
  // The loop never ends; give it time to go round before pausing it.
  await new Promise((resolve) => setTimeout(resolve, 300));
  const stopped = dc.waitForEvent('stopped');
  await dc.pauseRequest({ threadId: 1 });
  assert.strictEqual((await stopped).body.reason, 'pause');
  assert.ok([3, 4, 5].includes((await topFrame()).line));
  const n = await evaluate('n', 1);
  assert.ok(Number(n) > 0, `n is ${n}`);
  const terminated = dc.waitForEvent('terminated');
  await dc.terminateRequest();
  await terminated;
});

test('terminate a running loop without pausing it', async () => {
  await Promise.all([
    dc.waitForEvent('initialized').then(() => dc.configurationDoneRequest()),
    dc.launch({ program: LOOP }),
  ]);
  const exited = dc.waitForEvent('exited');
  await dc.terminateRequest();
  await exited;
});

test('unknown and malformed requests get error responses', async () => {
  await assert.rejects(dc.customRequest('noSuchRequest'), /Unknown request/);
  await assert.rejects(dc.launchRequest({}), /program/);
  await assert.rejects(dc.launchRequest({ program: '/no/such/file.pas' }), /Cannot read/);
  await assert.rejects(dc.stackTraceRequest({ threadId: 1 }), /not stopped/);
  await assert.rejects(dc.variablesRequest({ variablesReference: 12345 }), /reference/);
});

test('broken frames and JSON never stop the server', () => {
  const frame = (text) => `Content-Length: ${Buffer.byteLength(text)}\r\n\r\n${text}`;
  const input = [
    'Content-Type: nothing\r\n\r\n',
    frame('{not json'),
    frame('[1, 2]'),
    frame('{"type": "event", "event": "x"}'),
    frame('{"seq": 7, "type": "request", "command": "evaluate", "arguments": 5}'),
    frame('{"seq": 8, "type": "request", "command": "setBreakpoints", "arguments": {"breakpoints": "x"}}'),
    frame('{"seq": 9, "type": "request", "command": "initialize"}'),
  ].join('');
  const run = cp.spawnSync(VELMORA, ['--dap'], { input, timeout: 20000 });
  assert.strictEqual(run.status, 0, String(run.stderr));
  const out = String(run.stdout);
  const bodies = out.split(/Content-Length: \d+\r\n\r\n/).filter(Boolean).map((t) => JSON.parse(t));
  assert.deepStrictEqual(bodies.map((b) => b.success), [false, false, false, false, false, true, true]);
  assert.strictEqual(bodies[6].command, 'initialize');
});
