// The language's help in the editor, all of it from the core: a keyword's
// form and ranges on hover (Ctrl+I at the cursor) and the statement
// templates on Ctrl+Space or two letters where a statement begins.
import { autocompletion, type Completion, type CompletionContext } from '@codemirror/autocomplete';
import { type EditorState, type Extension, Prec, StateEffect, StateField } from '@codemirror/state';
import { EditorView, hoverTooltip, keymap, showTooltip, type Tooltip } from '@codemirror/view';
import type { KmpCore } from './core';
import { language } from './i18n';

// The core reads a byte a character: keywords are ASCII.
export const latin1 = (text: string) => text.replace(/[^\x00-\x7f]/g, '?');

function keywordTooltip(core: KmpCore, state: EditorState, pos: number): Tooltip | null {
  const line = state.doc.lineAt(pos);
  const keyword = core.keywordAt(latin1(line.text), pos - line.from);
  const form = keyword ? core.keywordForm(keyword, language === 'en') : '';
  if (!form) return null;
  return {
    pos,
    above: true,
    create: () => {
      const dom = document.createElement('div');
      dom.className = 'kmp-keyword-help';
      dom.setAttribute('role', 'tooltip');
      dom.textContent = form;
      return { dom };
    },
  };
}

// Ctrl+I shows the help of the keyword at the cursor until the next edit,
// move or Escape.
const showHelp = StateEffect.define<Tooltip | null>();
const helpAtCursor = StateField.define<Tooltip | null>({
  create: () => null,
  update: (tooltip, transaction) => {
    for (const effect of transaction.effects) if (effect.is(showHelp)) return effect.value;
    return transaction.docChanged || transaction.selection ? null : tooltip;
  },
  provide: (field) => showTooltip.from(field),
});

function keywordHelp(core: KmpCore): Extension {
  return [
    hoverTooltip((view, pos) => keywordTooltip(core, view.state, pos)),
    helpAtCursor,
    // Before the default keys, which give Mod-i and Escape other work.
    Prec.high(keymap.of([
      {
        key: 'Mod-i',
        run: (view) => {
          const tooltip = keywordTooltip(core, view.state, view.state.selection.main.head);
          view.dispatch({ effects: showHelp.of(tooltip) });
          return true;
        },
      },
      {
        key: 'Escape',
        run: (view) => {
          if (!view.state.field(helpAtCursor)) return false;
          view.dispatch({ effects: showHelp.of(null) });
          return true;
        },
      },
    ])),
  ];
}

// The chosen template replaces the typed letters; its first value is
// selected, ready to be written over.
function applyTemplate(core: KmpCore, template: string) {
  return (view: EditorView, _completion: Completion, from: number, to: number) => {
    const value = core.firstTemplateValue(template);
    view.dispatch({
      changes: { from, to, insert: template },
      selection: { anchor: from + value.start, head: from + value.start + value.length },
      scrollIntoView: true,
    });
  };
}

function templates(core: KmpCore): Extension {
  const offer = (context: CompletionContext) => {
    const line = context.state.doc.lineAt(context.pos);
    const offered = core.offeredTemplates(latin1(line.text.slice(0, context.pos - line.from)), context.explicit);
    if (offered.templates.length === 0) return null;
    return {
      from: context.pos - offered.typed.length,
      options: offered.templates.map((template) => ({ label: template, apply: applyTemplate(core, template) })),
      // The core chooses what is offered, afresh at every letter.
      filter: false,
    };
  };
  // Its keys: Ctrl+Space asks, arrows choose, Enter takes, Escape closes.
  return autocompletion({ override: [offer], icons: false });
}

export function languageHelp(core: KmpCore): Extension {
  return [keywordHelp(core), templates(core)];
}
