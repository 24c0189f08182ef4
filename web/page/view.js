// The page's side of the view seam (web_view.cpp): the window's controls as
// elements of the page, found by the window's control ids. Everything the
// user does is handed to `actions`, which queues it for the controller; the
// view itself decides nothing.

// An element with properties, ARIA attributes (role, aria-*) and children.
const el = (tag, props = {}, ...children) => {
  const node = document.createElement(tag);
  for (const [key, value] of Object.entries(props)) {
    if (key === 'role' || key.startsWith('aria-')) node.setAttribute(key, value);
    else node[key] = value;
  }
  node.append(...children);
  return node;
};

export function createView(root, actions) {
  const controls = new Map(); // window id -> element
  const enablers = new Map(); // window id -> how the tabs and the list are enabled
  const groups = new Map(); // group id -> its body
  let field = null; // a label's wrapper, waiting for the control it names
  let panel = null;
  let tablist = null;
  const tabs = [];
  let selectedTab = -1;
  let table = null;
  let colgroup = null;
  let head = null;
  let body = null;
  const titles = [];
  const rows = []; // cell texts, as the controller wrote them
  let active = { row: 0, column: 0 }; // the grid's focusable cell
  let gridEnabled = true;
  let timer = 0;
  let ir = null; // the open IR editor
  let combo = null; // the open combo editor
  let saveHandle = null;

  const place = (group, node) => {
    if (field) {
      field.append(node);
      field = null;
    } else {
      (groups.get(group) || root).append(node);
    }
  };

  const makers = {
    group(text, id) {
      const legendId = `legend-${id}`;
      const bodyNode = el('div', { className: 'group-body' });
      root.append(el('fieldset', { id: `g${id}` }, el('legend', { id: legendId }, text), bodyNode));
      groups.set(id, bodyNode);
    },
    label(text, id, group, labelFor) {
      field = el('span', { className: 'field' }, el('label', { htmlFor: `c${labelFor}` }, text));
      (groups.get(group) || root).append(field);
    },
    display: (text) => el('output', { role: 'textbox', 'aria-readonly': 'true', className: 'display' }, text),
    status: (text) => el('output', { role: 'status', className: 'status' }, text),
    select: () => el('select'),
    button: (text) => el('button', { type: 'button' }, text),
    edit: (text) => el('input', { type: 'text', value: text, spellcheck: false, autocomplete: 'off' }),
    // The window's check box does not tick itself either: the controller sets it.
    checkbox: (text) => el('button', { type: 'button', role: 'checkbox', 'aria-checked': 'false', className: 'check' },
      el('span', { className: 'box', 'aria-hidden': 'true' }), el('span', {}, text)),
    panel() {
      panel = el('div', { role: 'tabpanel', className: 'actions-panel' });
      return panel;
    },
    tabs(text, id, group) {
      tablist = el('div', { role: 'tablist', className: 'tabs', 'aria-labelledby': `legend-${group}` });
      tablist.addEventListener('keydown', onTabKey);
      panel.before(tablist);
      enablers.set(id, (enabled) => tabs.forEach((tab) => { tab.disabled = !enabled; }));
      return null;
    },
    list(text, id, group) {
      colgroup = el('colgroup');
      head = el('tr');
      body = el('tbody');
      table = el('table', { role: 'grid', 'aria-labelledby': `legend-${group}` }, colgroup, el('thead', {}, head), body);
      table.addEventListener('dblclick', onGridDoubleClick);
      table.addEventListener('keydown', onGridKey);
      table.addEventListener('focusin', (event) => {
        const cell = event.target.closest('td');
        if (cell && !event.target.closest('.cell-editor')) activate(cellPosition(cell));
      });
      panel.append(el('div', { className: 'scroller' }, table));
      enablers.set(id, (enabled) => {
        gridEnabled = enabled;
        table.setAttribute('aria-disabled', String(!enabled));
      });
      return null;
    },
  };

  // The tabs: a click or an arrow key selects, as the window's tab control
  // does, and the controller is told.
  function chooseTab(index) {
    if (index === selectedTab || !tabs[index] || tabs[index].disabled) return;
    view.tabSelect(index);
    tabs[index].focus();
    actions.tabChange();
  }

  function onTabKey(event) {
    const moves = { ArrowLeft: -1, ArrowRight: 1, Home: -tabs.length, End: tabs.length };
    if (!(event.key in moves)) return;
    event.preventDefault();
    const at = Math.max(0, Math.min(tabs.length - 1, selectedTab + moves[event.key]));
    chooseTab(at);
  }

  // The grid: one cell takes the keyboard focus; arrows move it, Enter and F2
  // do what a double-click does.
  function cellAt(row, column) {
    const tr = body.rows[row];
    return tr ? tr.cells[column] : undefined;
  }

  function cellPosition(cell) {
    return { row: cell.parentElement.sectionRowIndex, column: cell.cellIndex };
  }

  function activate(position, focus = false) {
    const old = cellAt(active.row, active.column);
    if (old) old.tabIndex = -1;
    active = position;
    const cell = cellAt(position.row, position.column);
    if (!cell) return;
    cell.tabIndex = 0;
    if (focus) cell.focus();
  }

  function onGridDoubleClick(event) {
    const cell = event.target.closest('td');
    if (!cell || !gridEnabled || event.target.closest('.cell-editor')) return;
    const { row, column } = cellPosition(cell);
    actions.doubleClick(row, column);
  }

  function onGridKey(event) {
    if (event.target.closest('.cell-editor') || !gridEnabled || !event.target.closest('td')) return;
    if (event.key === 'Enter' || event.key === 'F2') {
      event.preventDefault();
      actions.doubleClick(active.row, active.column);
      return;
    }
    const moves = {
      ArrowUp: [-1, 0], ArrowDown: [1, 0], ArrowLeft: [0, -1], ArrowRight: [0, 1],
      PageUp: [-10, 0], PageDown: [10, 0], Home: [0, -titles.length], End: [0, titles.length],
    };
    const move = moves[event.key];
    if (!move) return;
    event.preventDefault();
    const row = Math.max(0, Math.min(rows.length - 1, active.row + move[0]));
    const column = Math.max(0, Math.min(titles.length - 1, active.column + move[1]));
    activate({ row, column }, true);
  }

  function fillCell(td, text) {
    td.firstChild.textContent = text;
  }

  const newCell = (text) => el('td', { tabIndex: -1 }, el('span', { className: 'cell-text' }, text));

  // An editor sits inside its cell; the cell's own text hides meanwhile.
  function placeEditor(row, column, node) {
    const td = cellAt(row, column);
    if (!td) return;
    td.classList.add('editing');
    td.append(node);
  }

  function removeEditor(node) {
    const td = node.parentElement;
    const hadFocus = node.contains(document.activeElement);
    node.remove();
    if (!td) return;
    td.classList.remove('editing');
    if (hadFocus) td.focus();
  }

  function openList(open) {
    combo.list.hidden = !open;
    combo.input.setAttribute('aria-expanded', String(open));
  }

  function highlight(index) {
    const options = combo.list.children;
    if (options[combo.active]) options[combo.active].classList.remove('active');
    combo.active = index;
    const option = options[index];
    if (!option) {
      combo.input.removeAttribute('aria-activedescendant');
      return;
    }
    option.classList.add('active');
    option.scrollIntoView({ block: 'nearest' });
    combo.input.setAttribute('aria-activedescendant', option.id);
  }

  function chooseItem(index) {
    combo.selection = index;
    combo.input.value = combo.items[index];
    actions.endComboEdit(true, isOpenCombo(combo));
  }

  const isOpenCombo = (editor) => () => combo === editor;
  const isOpenIr = (editor) => () => ir === editor;

  function onComboKey(event) {
    const editor = combo;
    if (event.key === 'Escape' || (event.key === 'Enter' && (editor.list.hidden || editor.active < 0))) {
      event.preventDefault();
      actions.endComboEdit(event.key === 'Enter', isOpenCombo(editor));
    } else if (event.key === 'Enter') {
      event.preventDefault();
      chooseItem(editor.active);
    } else if (event.key === 'ArrowDown' || event.key === 'ArrowUp') {
      event.preventDefault();
      if (editor.list.hidden) {
        openList(true);
        if (event.altKey) return;
      }
      const step = event.key === 'ArrowDown' ? 1 : -1;
      highlight(Math.max(0, Math.min(editor.items.length - 1, editor.active + step)));
    }
  }

  const view = {
    addControl(kind, text, id, group, labelFor) {
      const node = makers[kind](text, id, group, labelFor);
      if (!node) return;
      if (id && !node.id) node.id = `c${id}`;
      if (id) controls.set(id, node);
      if (kind === 'button' || kind === 'checkbox') node.addEventListener('click', () => actions.command(id));
      if (kind === 'select') node.addEventListener('change', () => actions.command(id));
      place(group, node);
    },
    addTab(title) {
      const index = tabs.length;
      const tab = el('button', { type: 'button', role: 'tab', id: `tab-${index}`, tabIndex: -1, 'aria-selected': 'false' }, title);
      tab.addEventListener('click', () => chooseTab(index));
      tabs.push(tab);
      tablist.append(tab);
    },

    setText(id, text) {
      const node = controls.get(id);
      if (!node || node.tagName === 'SELECT') return;
      if (node.getAttribute('role') === 'checkbox') node.lastChild.textContent = text;
      else if (node.tagName === 'INPUT') node.value = text;
      else if (node.textContent !== text || node.getAttribute('role') === 'status') node.textContent = text;
    },
    getText(id) {
      const node = controls.get(id);
      if (!node) return '';
      if (node.tagName === 'SELECT') return node.selectedIndex >= 0 ? node.options[node.selectedIndex].text : '';
      if (node.getAttribute('role') === 'checkbox') return node.lastChild.textContent;
      return node.tagName === 'INPUT' ? node.value : node.textContent;
    },
    setChecked(id, checked) {
      const node = controls.get(id);
      if (node) node.setAttribute('aria-checked', String(checked));
    },
    isChecked: (id) => Boolean(controls.get(id) && controls.get(id).getAttribute('aria-checked') === 'true'),
    enable(id, enabled) {
      const node = controls.get(id);
      if (enablers.has(id)) enablers.get(id)(enabled);
      else if (node && 'disabled' in node && node.tagName !== 'OUTPUT') node.disabled = !enabled;
      else if (node) node.classList.toggle('disabled', !enabled);
    },

    comboReset(id) {
      const node = controls.get(id);
      if (node) node.replaceChildren();
    },
    comboAdd(id, text) {
      const node = controls.get(id);
      if (node) node.add(new Option(text));
    },
    comboSelect(id, index) {
      const node = controls.get(id);
      if (node) node.selectedIndex = index >= 0 && index < node.options.length ? index : -1;
    },
    comboFindExact(id, text) {
      const node = controls.get(id);
      return node ? Array.from(node.options).findIndex((option) => option.text === text) : -1;
    },
    comboSelection: (id) => (controls.get(id) ? controls.get(id).selectedIndex : -1),

    tabSelection: () => selectedTab,
    tabSelect(index) {
      if (index < -1 || index >= tabs.length) return;
      selectedTab = index;
      tabs.forEach((tab, i) => {
        tab.setAttribute('aria-selected', String(i === index));
        tab.tabIndex = i === index || (index < 0 && i === 0) ? 0 : -1;
      });
      if (index >= 0) panel.setAttribute('aria-labelledby', tabs[index].id);
    },

    listDeleteAllItems() {
      rows.length = 0;
      body.replaceChildren();
    },
    listDeleteFirstColumn() {
      if (!titles.length) return false;
      titles.shift();
      head.firstChild.remove();
      colgroup.firstChild.remove();
      rows.forEach((cells, i) => {
        cells.shift();
        if (body.rows[i].cells[0]) body.rows[i].cells[0].remove();
      });
      return true;
    },
    listInsertColumn(index, title, width, centred) {
      const at = Math.max(0, Math.min(titles.length, index));
      titles.splice(at, 0, title);
      const th = el('th', { scope: 'col', className: centred ? 'centre' : '' }, title);
      const col = el('col', { className: centred ? 'centre' : '' });
      col.style.width = `${width}px`;
      head.insertBefore(th, head.children[at] || null);
      colgroup.insertBefore(col, colgroup.children[at] || null);
    },
    listInsertRow(index, text) {
      const at = Math.max(0, Math.min(rows.length, index));
      const cells = Array.from({ length: Math.max(1, titles.length) }, (_, i) => (i === 0 ? text : ''));
      rows.splice(at, 0, cells);
      const tr = body.insertRow(at);
      cells.forEach((cell, i) => {
        const td = newCell(cell);
        if (colgroup.children[i] && colgroup.children[i].className) td.className = 'centre';
        tr.append(td);
      });
      if (at === 0 && rows.length === 1) activate({ row: 0, column: 0 });
      return at;
    },
    listSetCell(row, column, text) {
      if (row < 0 || row >= rows.length || column < 0 || column >= Math.max(1, titles.length)) return;
      rows[row][column] = text;
      fillCell(body.rows[row].cells[column], text);
    },
    listCell: (row, column) => (rows[row] && rows[row][column] !== undefined ? rows[row][column] : ''),
    listRowCount: () => rows.length,

    startPollTimer(periodMs) {
      clearInterval(timer);
      timer = setInterval(actions.timer, periodMs);
    },
    stopPollTimer() {
      clearInterval(timer);
      timer = 0;
    },

    openIrEditor(row, column, text) {
      const input = el('input', { type: 'text', value: text, className: 'cell-editor', spellcheck: false, 'aria-label': titles[column] || '' });
      const editor = { input };
      input.addEventListener('keydown', (event) => {
        if (event.key !== 'Enter' && event.key !== 'Escape') return;
        event.preventDefault();
        actions.endIrEdit(event.key === 'Enter', isOpenIr(editor));
      });
      input.addEventListener('blur', () => actions.endIrEdit(true, isOpenIr(editor)));
      ir = editor;
      placeEditor(row, column, input);
      input.focus();
      input.select();
    },
    irEditorText: () => (ir ? ir.input.value : ''),
    closeIrEditor() {
      if (!ir) return;
      const { input } = ir;
      ir = null;
      removeEditor(input);
    },

    // The Button column's editor takes typed text and offers the catalogue in
    // a list that opens on request; RA and RB offer their list only, open at once.
    openComboEditor(row, column, editable, items, original) {
      const input = el('input', {
        type: 'text', className: 'combo-input', spellcheck: false, readOnly: !editable, role: 'combobox',
        'aria-label': titles[column] || '', 'aria-controls': 'combo-list', 'aria-autocomplete': 'none',
      });
      const list = el('ul', { role: 'listbox', id: 'combo-list', hidden: true });
      items.forEach((item, i) => {
        const option = el('li', { role: 'option', id: `combo-item-${i}`, 'aria-label': item }, item || '\u00a0');
        option.addEventListener('click', () => { if (combo === editor) chooseItem(i); });
        list.append(option);
      });
      const node = el('div', { className: 'cell-editor combo' }, input, list);
      const editor = { node, input, list, items, editable, selection: -1, active: -1 };
      if (editable) {
        input.value = original;
        const toggle = el('button', { type: 'button', tabIndex: -1, className: 'drop', 'aria-label': 'Open the list' }, '\u25be');
        toggle.addEventListener('click', () => { openList(list.hidden); input.focus(); });
        input.after(toggle);
        input.addEventListener('input', () => { editor.selection = -1; });
      } else {
        editor.selection = items.indexOf(original);
        input.value = editor.selection >= 0 ? original : '';
      }
      input.addEventListener('keydown', onComboKey);
      if (combo) removeEditor(combo.node);
      combo = editor;
      placeEditor(row, column, node);
      openList(!editable);
      highlight(editor.selection);
      input.focus();
    },
    comboEditorChoice() {
      if (!combo) return '';
      return combo.selection >= 0 ? combo.items[combo.selection] : combo.input.value;
    },
    closeComboEditor() {
      if (!combo) return;
      const { node } = combo;
      combo = null;
      removeEditor(node);
    },
    onComboEditor: (target) => Boolean(combo && combo.node.contains(target)),
    onIrEditor: (target) => Boolean(ir && ir.input.contains(target)),

    // The browser's file dialogs.
    askOpenFile() {
      const input = el('input', { type: 'file', accept: '.cfg,.json', hidden: true });
      document.body.append(input);
      return new Promise((resolve) => {
        const done = (file) => {
          input.remove();
          resolve(file);
        };
        input.addEventListener('cancel', () => done(null));
        input.addEventListener('change', async () => {
          const file = input.files[0];
          done(file ? { name: file.name, bytes: new Uint8Array(await file.arrayBuffer()) } : null);
        });
        input.click();
      });
    },
    async askSaveFile() {
      saveHandle = null;
      if (!window.showSaveFilePicker) return true; // the browser's downloads ask, if anything
      try {
        saveHandle = await window.showSaveFilePicker({
          suggestedName: 'korvel.cfg',
          types: [{ description: 'Korvel configuration', accept: { 'application/octet-stream': ['.cfg'] } }],
        });
        return true;
      } catch (error) {
        return error.name !== 'AbortError'; // not allowed here: a download instead
      }
    },
    async deliverSavedFile(bytes) {
      if (saveHandle) {
        const writable = await saveHandle.createWritable();
        await writable.write(bytes);
        await writable.close();
        return;
      }
      const url = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
      const link = el('a', { href: url, download: 'korvel.cfg', hidden: true });
      document.body.append(link);
      link.click();
      link.remove();
      setTimeout(() => URL.revokeObjectURL(url), 60000);
    },
  };
  return view;
}
